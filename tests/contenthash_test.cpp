#include "contenthash.h"

#include <gtest/gtest.h>
#include <QByteArray>
#include <set>

// The writer hashes its buffer at each flush, a reader the whole file at once.
TEST(ContentHash, IsTheSameInAnyPieces)
{
    QByteArray bytes;
    for (int i = 0; i < 1000; ++i)
        bytes += char(i * 37);
    const size_t whole = ContentHash::of(bytes);
    for (const qsizetype piece : {1, 3, 31, 32, 33, 100, 999}) {
        ContentHash hash;
        for (qsizetype at = 0; at < bytes.size(); at += piece)
            hash.add(QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at)));
        EXPECT_EQ(hash.value(), whole) << piece;
    }
}

TEST(ContentHash, EveryByteAndTheLengthCount)
{
    const QByteArray zeros(100, '\0');
    std::set<size_t> hashes;
    for (qsizetype size = 0; size <= zeros.size(); ++size)
        hashes.insert(ContentHash::of(zeros.first(size)));
    for (qsizetype at = 0; at < zeros.size(); ++at) {
        QByteArray changed = zeros;
        changed[at] = 'b';
        hashes.insert(ContentHash::of(changed));
    }
    EXPECT_EQ(hashes.size(), 101u + 100u);
}
