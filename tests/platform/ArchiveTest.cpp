#include "platform/ArchiveError.h"
#include "platform/ArchiveReader.h"
#include "platform/ArchiveWriter.h"
#include "support/ArchiveBytes.h"

#include <QBuffer>
#include <gtest/gtest.h>

using platform::ArchiveError;
using platform::ArchiveReader;
using platform::ArchiveWriter;

namespace {

QByteArray WrittenString(const QString& text)
{
    return WrittenBytes([&](ArchiveWriter& writer) { writer.WriteString(text); });
}

QString ReadBack(const QByteArray& bytes, int64_t* left = nullptr)
{
    QString text;
    ReadBytes(bytes, [&](ArchiveReader& reader) {
        text = reader.ReadString();
        if (left)
            *left = reader.BytesLeft();
    });
    return text;
}

QString Repeat(qsizetype count)
{
    QString text;
    for (qsizetype i = 0; i < count; ++i)
        text += QChar(static_cast<char16_t>(u'a' + i % 26));
    return text;
}

TEST(ArchiveTest, WideStringLengthForms)
{
    EXPECT_EQ(WrittenString(QString()), QByteArray("\xFF\xFE\xFF\x00", 4));
    EXPECT_EQ(WrittenString(QStringLiteral("IMG")), QByteArray("\xFF\xFE\xFF\x03I\0M\0G\0", 10));

    const QByteArray s254 = WrittenString(Repeat(254));
    EXPECT_EQ(s254.left(4), QByteArray("\xFF\xFE\xFF\xFE", 4));
    EXPECT_EQ(s254.size(), 4 + 508);

    const QByteArray s255 = WrittenString(Repeat(255));
    EXPECT_EQ(s255.left(6), QByteArray("\xFF\xFE\xFF\xFF\xFF\x00", 6));

    const QByteArray s65533 = WrittenString(Repeat(65533));
    EXPECT_EQ(s65533.left(6), QByteArray("\xFF\xFE\xFF\xFF\xFD\xFF", 6));

    const QByteArray s65534 = WrittenString(Repeat(65534));
    EXPECT_EQ(s65534.left(10), QByteArray("\xFF\xFE\xFF\xFF\xFF\xFF\xFE\xFF\x00\x00", 10));

    for (qsizetype n : {0, 1, 254, 255, 65533, 65534, 70000}) {
        int64_t left = -1;
        EXPECT_EQ(ReadBack(WrittenString(Repeat(n)), &left), Repeat(n)) << n;
        EXPECT_EQ(left, 0) << n;
    }
    EXPECT_EQ(ReadBack(WrittenString(QStringLiteral("Grüße ☺"))), QStringLiteral("Grüße ☺"));
}

TEST(ArchiveTest, NarrowStringForm)
{
    EXPECT_EQ(ReadBack(QByteArray("\x04SMG2", 5)), QStringLiteral("SMG2"));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ArchiveWriter writer(buffer);
    writer.WriteNarrowString(Repeat(300));
    EXPECT_EQ(buffer.data().left(3), QByteArray("\xFF\x2C\x01", 3));
    EXPECT_EQ(ReadBack(buffer.data()), Repeat(300));
}

// Older files come from a program whose 8-bit texts are Windows-1252: 0x80 to 0x9F are the euro sign,
// quotes and dashes, not C1 controls; the bytes that code page leaves unassigned keep their Latin-1 value.
TEST(ArchiveTest, RegressionNarrowStringsAreWindows1252)
{
    const QByteArray narrow("\x0B\x80\x91\x92\x93\x94\x96\x97\xE9\x81\x9D" "A", 12);
    EXPECT_EQ(ReadBack(narrow), QString::fromUtf16(u"\u20AC\u2018\u2019\u201C\u201D\u2013\u2014\u00E9\u0081\u009DA"));

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ArchiveWriter writer(buffer);
    const QString text = QString::fromUtf16(u"\u201CCaf\u00E9\u201D \u2013 5\u20AC \u0153\u0178\u0081\u0085\u263A");
    writer.WriteNarrowString(text);
    EXPECT_EQ(buffer.data(), QByteArray("\x11\x93" "Caf\xE9\x94 \x96 5\x80 \x9C\x9F\x81??", 18));
    EXPECT_EQ(ReadBack(buffer.data()), QString(text).replace(u'\u0085', u'?').replace(u'\u263A', u'?'));
}

TEST(ArchiveTest, NumbersAreLittleEndian)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ArchiveWriter writer(buffer);
    writer.WriteU8(1);
    writer.WriteU16(0x0203);
    writer.WriteI32(-2);
    writer.WriteFloat(1.0f);
    EXPECT_EQ(buffer.data(), QByteArray("\x01\x03\x02\xFE\xFF\xFF\xFF\x00\x00\x80\x3F", 11));

    QByteArray bytes = buffer.data();
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    ArchiveReader reader(in);
    EXPECT_EQ(reader.ReadU8(), 1);
    EXPECT_EQ(reader.ReadU16(), 0x0203);
    EXPECT_EQ(reader.ReadI32(), -2);
    EXPECT_EQ(reader.ReadFloat(), 1.0f);
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_THROW(reader.ReadU8(), ArchiveError);
}

TEST(ArchiveTest, TruncatedOrLyingLengthsThrowBeforeAllocating)
{
    // Cut inside a number.
    EXPECT_THROW(ReadBack(QByteArray("\xFF\xFE", 2)), ArchiveError);
    // A string that claims 4 billion characters in a 10-byte stream.
    EXPECT_THROW(ReadBack(QByteArray("\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 10)), ArchiveError);
    // Cut inside the characters.
    EXPECT_THROW(ReadBack(QByteArray("\xFF\xFE\xFF\x03I\0M\0", 8)), ArchiveError);
    // A byte count far beyond the stream.
    QByteArray small("abc");
    QBuffer buffer(&small);
    buffer.open(QIODevice::ReadOnly);
    ArchiveReader reader(buffer);
    EXPECT_THROW(reader.ReadBytes(int64_t{1} << 40), ArchiveError);
    EXPECT_THROW(reader.ReadBytes(-1), ArchiveError);
    EXPECT_EQ(reader.ReadBytes(3), QByteArray("abc"));
}

// A device that takes nothing, as a full disk would.
class FullDevice : public QIODevice {
protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override { return -1; }
};

TEST(ArchiveTest, RegressionWriteFailureIsNotSilent)
{
    FullDevice device;
    device.open(QIODevice::WriteOnly);
    ArchiveWriter writer(device);
    EXPECT_THROW(writer.WriteU32(7), ArchiveError);
    EXPECT_THROW(writer.WriteString(QStringLiteral("x")), ArchiveError);
}

} // namespace
