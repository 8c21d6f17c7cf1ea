#pragma once

#include <array>
#include <QByteArrayView>
#include <QtGlobal>

/// A fast hash of a file's bytes that comes out the same in whatever pieces
/// the bytes are added: the writer hashes its buffer at each flush, and a
/// reader hashes the whole file at once. It only has to tell a file someone
/// else changed from the one written, not resist anyone.
class ContentHash
{
public:
    void add(QByteArrayView bytes);
    size_t value() const;

    static size_t of(QByteArrayView bytes);

private:
    static constexpr qsizetype BlockSize = 32;
    void addBlock(const char *block);

    // Four independent lanes of eight bytes each keep the processor's
    // multipliers busy; a block is one word for each lane.
    std::array<quint64, 4> m_lanes {1, 2, 3, 4};
    char m_pending[BlockSize]; // the start of a block not yet complete
    qsizetype m_pendingSize = 0;
    quint64 m_length = 0;
};
