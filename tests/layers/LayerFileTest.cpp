#include "support/Bytes.h"
#include "support/LayerPictures.h"
#include "support/ScopedAppPaths.h"

#include "engine/document/Document.h"
#include "engine/layers/Image.h"
#include "engine/layers/LayerImage.h"
#include "engine/layers/LayerList.h"
#include "engine/layers/LayerText.h"
#include "platform/ArchiveError.h"
#include "platform/ArchiveReader.h"
#include "platform/ArchiveWriter.h"
#include "platform/DeviceContext.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

class LayerFileTest : public ::testing::Test {
protected:
    // Reads every record of bytes into the document's list; the number of bytes left. endedAtRecord
    // tells whether the list ended at a record's end.
    int64_t LoadAll(QByteArray bytes)
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        platform::ArchiveReader reader(buffer);
        endedAtRecord = document.layers.LoadAll(reader) == RecordListEnd::AtRecord;
        return reader.BytesLeft();
    }

    bool endedAtRecord = false;

    ScopedAppPaths paths;  // an empty cache: content that is not stored cannot load here
    Document document;
};

TEST_F(LayerFileTest, APaintedLayerCarriesItsPictureWithTheMask)
{
    const std::vector<QRgb> pixels{qRgba(30, 20, 10, 255), qRgba(200, 100, 50, 128), qRgba(1, 2, 3, 0),
                                   qRgba(120, 80, 40, 64)};
    const auto layer = PaintLayerFrom(Straight(2, 2, pixels), LayerFlagsFace);
    layer->tag = 2;
    layer->number = 0;
    layer->kind = LayerKindFace;
    layer->name = QStringLiteral("Face 3");
    layer->position = {11.5f, 22.25f};
    layer->scale = {-0.5f, 0.5f};
    layer->angle = 1234;
    layer->brightness = 20;
    layer->ApplyColor();
    const QByteArray bytes = Stored(*layer);

    const QByteArray common = CommonPart(LayerFlagsFace, 2, *layer);
    ASSERT_TRUE(bytes.startsWith(common));
    const QByteArray block = bytes.mid(common.size());
    EXPECT_EQ(block.left(10), QByteArray("\xFF\xFE\xFF\x03I\0M\0G\0", 10));
    // The picture travels as straight colours from the source, with the mask as alpha.
    const uint32_t count = qFromLittleEndian<uint32_t>(block.constData() + 10);
    ASSERT_EQ(static_cast<int>(count), block.size() - 14);
    const QImage png = QImage::fromData(block.mid(14), "PNG").convertToFormat(QImage::Format_ARGB32);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(png.pixel(i % 2, i / 2), pixels[i]) << i;

    EXPECT_EQ(LoadAll(bytes), 0);
    ASSERT_EQ(document.layers.GetCount(), 1);
    Layer* read = document.layers.GetAt(0);
    EXPECT_EQ(CommonPart(read->flags, read->tag, *read).Get(), common);  // every field, size and centre too
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(PixelOf(*read->GetImage(), i % 2, i / 2), PixelOf(*layer->GetImage(), i % 2, i / 2)) << i;
    EXPECT_EQ(read->requestId, 0);  // a stored picture needs no download
    EXPECT_EQ(read->pendingTask, nullptr);
}

TEST_F(LayerFileTest, ABubbleRecordIsAlwaysReadAsABubble)
{
    LayerInfo info;
    info.kind = LayerKindBubble;
    info.number = 12;
    info.position = {100, 50};
    const QByteArray record =
        CommonPart(LayerFlagsFace, 1, info).I32(10).I32(20).I32(300).I32(200).Str(QStringLiteral("Hey")).Get();
    EXPECT_EQ(LoadAll(record), 0);
    ASSERT_EQ(document.layers.GetCount(), 1);
    auto* bubble = dynamic_cast<LayerText*>(document.layers.GetAt(0));
    ASSERT_NE(bubble, nullptr);
    EXPECT_EQ(bubble->flags, LayerFlagsBubble);
    EXPECT_EQ(bubble->tag, 1);
    EXPECT_EQ(bubble->GetText(), QStringLiteral("Hey"));
    EXPECT_EQ(bubble->GetTextRect(), (Rect{10, 20, 300, 200}));
    EXPECT_EQ(bubble->position, (PointF{100, 50}));
    EXPECT_NE(bubble->pendingTask, nullptr);  // its metafile is not in the cache: it waits for it
}

TEST_F(LayerFileTest, RegressionExtremeTextRectangleIsKeptInRange)
{
    LayerInfo info;
    info.kind = LayerKindBubble;
    const QByteArray record = CommonPart(LayerFlagsBubble, 0, info)
                                  .I32(INT32_MIN).I32(INT32_MIN).I32(INT32_MAX).I32(INT32_MAX).Str("x").Get();
    LoadAll(record);
    auto* bubble = dynamic_cast<LayerText*>(document.layers.GetAt(0));
    ASSERT_NE(bubble, nullptr);
    EXPECT_EQ(bubble->GetTextRect(), (Rect{-0x3FFFFFFF, -0x3FFFFFFF, 0x3FFFFFFF, 0x3FFFFFFF}));
    QImage scratch(1, 1, QImage::Format_BGR888);
    platform::DeviceContext dc(scratch);
    bubble->FitFont(dc);  // the height of the rectangle fits 32 bits
    EXPECT_EQ(bubble->GetFontHeight(), 2046);  // the largest height the search tries: 1024 + 512 + ... + 2
}

TEST_F(LayerFileTest, AFileCutInsideARecordKeepsTheLayersBeforeIt)
{
    LayerImage first(QStringLiteral("Hat"), LayerFlagsAccessory, 0);
    first.kind = LayerKindAccessory;
    first.number = 1;
    LayerImage second(QStringLiteral("Hat"), LayerFlagsAccessory, 1);
    second.kind = LayerKindAccessory;
    second.number = 2;
    const QByteArray one = Stored(first);
    const QByteArray two = Stored(second);
    // Only a file that ends between two records ends the list at a record's end.
    for (const int cut : {0, 1, 8, 20, static_cast<int>(two.size()) - 1}) {
        document.layers.DeleteAll();
        LoadAll(one + two.left(cut));
        ASSERT_EQ(document.layers.GetCount(), 1) << cut;
        EXPECT_EQ(document.layers.GetAt(0)->number, 1) << cut;
        EXPECT_EQ(endedAtRecord, cut == 0) << cut;
    }
    document.layers.DeleteAll();
    LoadAll(one + two);
    ASSERT_EQ(document.layers.GetCount(), 2);
    EXPECT_EQ(document.layers.GetAt(1)->tag, 1);  // read back in the order written
    EXPECT_TRUE(endedAtRecord);

    // A bubble cut inside its text rectangle ends the list too.
    LayerInfo info;
    info.kind = LayerKindBubble;
    document.layers.DeleteAll();
    LoadAll(one + CommonPart(LayerFlagsBubble, 0, info).I32(1).I32(2).Get());
    EXPECT_EQ(document.layers.GetCount(), 1);
    EXPECT_FALSE(endedAtRecord);
}

TEST_F(LayerFileTest, AnErrorInTheClassPartReachesTheReader)
{
    LayerInfo info;
    info.kind = LayerKindBubble;
    // The bubble's text claims more characters than the file holds.
    const QByteArray record = CommonPart(LayerFlagsBubble, 0, info).I32(0).I32(0).I32(0).I32(0).U8(0xFF).U16(0xFFFE).U8(90).Get();
    EXPECT_THROW(LoadAll(record), platform::ArchiveError);
    EXPECT_EQ(document.layers.GetCount(), 0);
}

// A picture block cut short is a damaged file, not a failed picture: the error reaches the reader, and
// no layer from that record on is taken in.
TEST_F(LayerFileTest, RegressionAnImgBlockCutShortReachesTheReader)
{
    LayerInfo info;
    info.kind = LayerKindFace;
    const QByteArray head = CommonPart(LayerFlagsFace, 0, info).Str(QStringLiteral("IMG")).Get();
    for (const uint32_t count : {5u, 0x7FFFFFF0u}) {
        document.layers.DeleteAll();
        const QByteArray record = head + Bytes().U32(count).Append("\x89PNG").Get();
        EXPECT_THROW(LoadAll(record), platform::ArchiveError) << count;
        EXPECT_EQ(document.layers.GetCount(), 0) << count;
    }
    // Cut inside the tag or the count, too.
    EXPECT_THROW(LoadAll(head.left(head.size() - 2)), platform::ArchiveError);
    EXPECT_THROW(LoadAll(head + QByteArray(2, '\0')), platform::ArchiveError);
}

TEST_F(LayerFileTest, RegressionPaintedLayerWithoutPictureKeepsTheFileReadable)
{
    LayerImage failed(QString(), LayerFlagsFace, 0);  // its picture never loaded
    LayerImage after(QStringLiteral("Hat"), LayerFlagsAccessory, 4);
    const QByteArray bytes = Stored(failed) + Stored(after);
    EXPECT_EQ(LoadAll(bytes), 0);
    ASSERT_EQ(document.layers.GetCount(), 2);
    EXPECT_EQ(document.layers.GetAt(0)->GetImage(), nullptr);
    EXPECT_EQ(document.layers.GetAt(1)->tag, 4);
}

TEST_F(LayerFileTest, RegressionWriteErrorsReachTheSave)
{
    const auto painted = PaintLayerFrom(Straight(1, 1, {qRgba(1, 2, 3, 255)}), LayerFlagsFace);
    LayerImage plain(QString(), LayerFlagsBackground, 0);
    for (Layer* layer : {static_cast<Layer*>(painted.get()), static_cast<Layer*>(&plain)}) {
        QBuffer readOnly;
        readOnly.open(QIODevice::ReadOnly);
        platform::ArchiveWriter writer(readOnly);
        EXPECT_THROW(layer->Store(writer), platform::ArchiveError);
    }
}

} // namespace
