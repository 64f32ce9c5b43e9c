#include "support/Bytes.h"
#include "support/TestLayer.h"

#include "platform/ArchiveError.h"
#include "platform/ArchiveReader.h"
#include "platform/ArchiveWriter.h"
#include "support/ArchiveBytes.h"

#include <QBuffer>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

LayerInfo Sample()
{
    LayerInfo info;
    info.number = 42;
    info.kind = LayerKindFace;
    info.path = QStringLiteral("http://127.0.0.1/Faces/42.jpg");
    info.name = QStringLiteral("Face 2");
    info.position = {320.5f, 240.25f};
    info.scale = {-0.75f, 0.75f};
    info.size = {512, 384};
    info.centre = {256, 192};
    info.angle = 0xABCD;
    info.cropTopLeft = {0.25f, 0.125f};
    info.cropBottomRight = {0.75f, 0.875f};
    info.redGamma = 12000;
    info.greenGamma = 9000;
    info.blueGamma = 25000;
    info.contrast = -30;
    info.brightness = 45;
    return info;
}

Bytes SampleBytes()
{
    Bytes b;
    b.I32(42).I32(LayerKindFace).Str(QStringLiteral("http://127.0.0.1/Faces/42.jpg")).Str(QStringLiteral("Face 2"));
    b.Point(320.5f, 240.25f).Point(-0.75f, 0.75f).Point(512, 384).Point(256, 192);
    b.U16(0xABCD).Point(0.25f, 0.125f).Point(0.75f, 0.875f);
    b.I32(12000).I32(9000).I32(25000).I32(45).I32(-30);  // brightness before contrast
    return b;
}

QByteArray Written(const LayerInfo& info)
{
    return WrittenBytes([&](platform::ArchiveWriter& writer) { info.Store(writer); });
}

LayerInfo ReadInfo(const QByteArray& bytes)
{
    LayerInfo info;
    ReadBytes(bytes, [&](platform::ArchiveReader& reader) { info.Load(reader); });
    return info;
}

void ExpectSame(const LayerInfo& a, const LayerInfo& b)
{
    EXPECT_EQ(Written(a), Written(b));
}

TEST(LayerRecordTest, InfoIsWrittenByteForByte)
{
    const QByteArray bytes = Written(Sample());
    EXPECT_EQ(bytes, SampleBytes().Get());
    // Fields 7 to 18 (position to contrast) take 70 bytes.
    const int strings = 4 + 2 * 29 + 4 + 2 * 6;
    EXPECT_EQ(bytes.size(), 8 + strings + 70);
}

TEST(LayerRecordTest, InfoReadsBackUnchanged)
{
    ExpectSame(ReadInfo(SampleBytes()), Sample());
    ExpectSame(ReadInfo(Written(LayerInfo())), LayerInfo());
}

TEST(LayerRecordTest, PointArchiveOperators)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    platform::ArchiveWriter writer(buffer);
    writer << PointF{1.5f, -2.0f};
    EXPECT_EQ(buffer.data(), Bytes().F32(1.5f).F32(-2.0f).Get());
    QByteArray bytes = buffer.data();
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    platform::ArchiveReader reader(in);
    PointF p;
    reader >> p;
    EXPECT_EQ(p, (PointF{1.5f, -2.0f}));
}

TEST(LayerRecordTest, LayerRecordStartsWithFlagsAndTag)
{
    TestLayer layer(LayerFlagsAccessory, 3);
    static_cast<LayerInfo&>(layer) = Sample();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    platform::ArchiveWriter writer(buffer);
    EXPECT_TRUE(layer.Store(writer));
    EXPECT_EQ(buffer.data(), Bytes().I32(17).I32(3).Append(SampleBytes()).Get());
}

TEST(LayerRecordTest, RegressionWriteErrorReachesTheCaller)
{
    TestLayer layer(LayerFlagsFace, 0);
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);  // takes no bytes
    platform::ArchiveWriter writer(readOnly);
    EXPECT_THROW(layer.Store(writer), platform::ArchiveError);
}

TEST(LayerRecordTest, CutRecordFailsToRead)
{
    const QByteArray bytes = SampleBytes();
    for (int cut : {0, 4, 9, 70, static_cast<int>(bytes.size()) - 1}) {
        EXPECT_THROW(ReadInfo(bytes.left(cut)), platform::ArchiveError) << cut;
    }
}

TEST(LayerRecordTest, StringLongerThanTheBytesLeftFailsBeforeAllocating)
{
    // number, kind, then a path that claims 0x7FFFFFFF characters.
    const QByteArray bytes = Bytes().I32(1).I32(1).U8(0xFF).U16(0xFFFE).U8(0xFF).U16(0xFFFF).I32(0x7FFFFFFF).Get();
    EXPECT_THROW(ReadInfo(bytes), platform::ArchiveError);
}

TEST(LayerRecordTest, RegressionCropAndColourAreClampedOnRead)
{
    LayerInfo bad = Sample();
    bad.cropTopLeft = {-0.5f, 0.6f};
    bad.cropBottomRight = {1.5f, 0.4f};  // top below bottom
    bad.brightness = 500;
    bad.contrast = -1000;
    const LayerInfo read = ReadInfo(Written(bad));
    EXPECT_EQ(read.cropTopLeft, (PointF{0, 0}));
    EXPECT_EQ(read.cropBottomRight, (PointF{1, 1}));
    EXPECT_EQ(read.brightness, 100);
    EXPECT_EQ(read.contrast, -100);
    EXPECT_EQ(read.redGamma, 12000);  // gammas are limited where they are applied

    LayerInfo nan = Sample();
    nan.cropTopLeft = {std::numeric_limits<float>::quiet_NaN(), 0.25f};
    nan.cropBottomRight = {0.5f, std::numeric_limits<float>::infinity()};
    const LayerInfo fixed = ReadInfo(Written(nan));
    EXPECT_EQ(fixed.cropTopLeft, (PointF{0, 0.25f}));
    EXPECT_EQ(fixed.cropBottomRight, (PointF{0.5f, 1}));

    LayerInfo equal = Sample();
    equal.cropTopLeft.x = 0.5f;
    equal.cropBottomRight.x = 0.5f;
    const LayerInfo widened = ReadInfo(Written(equal));
    EXPECT_EQ(widened.cropTopLeft.x, 0.0f);
    EXPECT_EQ(widened.cropBottomRight.x, 1.0f);
}

} // namespace
