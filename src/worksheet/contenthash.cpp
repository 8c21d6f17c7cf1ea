#include "contenthash.h"

#include <bit>
#include <cstring>

namespace {

constexpr quint64 Multiplier = 0x9E3779B97F4A7C15; // odd, so multiplying loses nothing

// Each step is a bijection of the lane for a given word, so a change of one
// word always changes the lane.
quint64 mix(quint64 lane, quint64 word)
{
    return std::rotl((lane ^ word) * Multiplier, 29);
}

quint64 wordAt(const char *bytes)
{
    quint64 word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

} // namespace

void ContentHash::addBlock(const char *block)
{
    for (size_t lane = 0; lane < m_lanes.size(); ++lane)
        m_lanes[lane] = mix(m_lanes[lane], wordAt(block + 8 * lane));
}

void ContentHash::add(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return;
    m_length += quint64(bytes.size());
    const char *p = bytes.data();
    const char *const end = p + bytes.size();
    if (m_pendingSize > 0) {
        const qsizetype taken = std::min(BlockSize - m_pendingSize, qsizetype(end - p));
        std::memcpy(m_pending + m_pendingSize, p, size_t(taken));
        m_pendingSize += taken;
        p += taken;
        if (m_pendingSize < BlockSize)
            return;
        addBlock(m_pending);
        m_pendingSize = 0;
    }
    for (; end - p >= BlockSize; p += BlockSize)
        addBlock(p);
    std::memcpy(m_pending, p, size_t(end - p));
    m_pendingSize = end - p;
}

size_t ContentHash::value() const
{
    // The length tells a short last block from one padded with zeros.
    quint64 hash = mix(m_length, 0);
    for (const quint64 lane : m_lanes)
        hash = mix(hash, lane);
    char last[BlockSize] = {};
    std::memcpy(last, m_pending, size_t(m_pendingSize));
    for (qsizetype offset = 0; offset < m_pendingSize; offset += 8)
        hash = mix(hash, wordAt(last + offset));
    return size_t(hash ^ (hash >> 32));
}

size_t ContentHash::of(QByteArrayView bytes)
{
    ContentHash hash;
    hash.add(bytes);
    return hash.value();
}
