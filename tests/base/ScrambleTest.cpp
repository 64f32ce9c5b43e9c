#include "engine/base/Scramble.h"
#include "support/TestPictures.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray Unscrambled(QByteArray bytes)
{
    UnscrambleBuffer(reinterpret_cast<uint8_t*>(bytes.data()), bytes.size());
    return bytes;
}

TEST(ScrambleTest, TailRuleExamples)
{
    EXPECT_EQ(Unscrambled(QByteArray("\x00", 1)), QByteArray("\xFF", 1));
    EXPECT_EQ(Unscrambled(QByteArray("\xFF", 1)), QByteArray("\x00", 1));
    EXPECT_EQ(Unscrambled(QByteArray("\x12", 1)), QByteArray("\xDE", 1));
    EXPECT_EQ(Unscrambled(Unscrambled(QByteArray("\x12\x34\x56", 3))), QByteArray("\x12\x34\x56", 3));
}

TEST(ScrambleTest, BlockBitIMovesToBitIStrideMod64)
{
    for (unsigned i = 0; i < 64; ++i) {
        QByteArray block(8, '\0');
        block[i / 8] = static_cast<char>(1u << (i % 8));
        const QByteArray plain = Unscrambled(block);
        const unsigned expected = i * ScrambleStride % 64;
        QByteArray want(8, '\0');
        want[expected / 8] = static_cast<char>(1u << (expected % 8));
        EXPECT_EQ(plain, want) << i;
    }
}

TEST(ScrambleTest, ScrambleAndUnscrambleAreInverses)
{
    QRandomGenerator random(1234);
    for (int length = 0; length <= 17; ++length) {
        QByteArray plain(length, Qt::Uninitialized);
        for (char& c : plain)
            c = static_cast<char>(random.bounded(256));
        EXPECT_EQ(Unscrambled(Scrambled(plain)), plain) << length;
        if (length >= 8)
            EXPECT_NE(Scrambled(plain).left(8), plain.left(8)) << length;
    }
    QByteArray large(100003, Qt::Uninitialized);
    for (char& c : large)
        c = static_cast<char>(random.bounded(256));
    EXPECT_EQ(Unscrambled(Scrambled(large)), large);
}

TEST(ScrambleTest, ReadScrambledFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("EncList.txt"));
    const QByteArray text("CAT 1 \"Hello\"\r\n");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Scrambled(text));
    }
    const auto read = ReadScrambledFile(path);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, text);
    EXPECT_EQ(read->constData()[read->size()], '\0');

    const QString empty = dir.filePath(QStringLiteral("empty"));
    QFile(empty).open(QIODevice::WriteOnly);
    const auto none = ReadScrambledFile(empty);
    ASSERT_TRUE(none.has_value());
    EXPECT_EQ(none->size(), 0);
    EXPECT_EQ(none->constData()[0], '\0');

    EXPECT_FALSE(ReadScrambledFile(dir.filePath(QStringLiteral("missing"))).has_value());
}

} // namespace
