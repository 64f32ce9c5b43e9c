#include "support/LayerPictures.h"

#include "engine/document/Document.h"
#include "engine/document/WizardState.h"
#include "engine/layers/DrawMode.h"
#include "engine/layers/ImageReference.h"
#include "engine/layers/LayerGeometry.h"
#include "engine/layers/LayerImage.h"
#include "engine/layers/PixelJournal.h"
#include "platform/ArchiveReader.h"
#include "platform/ColourAdjustment.h"
#include "platform/DeviceContext.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Writes down every pixel record a mask edit appends.
class RecordingJournal final : public PixelJournal {
public:
    bool AddPixels(const Rect& rect, const uint8_t* delta, int32_t stride, int32_t layerIndex) override
    {
        if (refuse)
            return false;
        Record record{rect, stride, layerIndex, {}};
        for (int32_t y = rect.top; y <= rect.bottom; ++y)
            for (int32_t x = rect.left; x <= rect.right; ++x)
                record.bytes.push_back(delta[static_cast<size_t>(y) * stride + x]);
        records.push_back(std::move(record));
        return true;
    }

    struct Record {
        Rect rect;
        int32_t stride = 0;
        int32_t layerIndex = 0;
        std::vector<uint8_t> bytes;  // the block, rows packed
    };
    std::vector<Record> records;
    bool refuse = false;
};

// 4 x 3 opaque pixels, each of its own colour.
QImage Opaque4x3()
{
    std::vector<QRgb> pixels;
    for (int i = 0; i < 12; ++i)
        pixels.push_back(qRgba(10 + 20 * i, 250 - 20 * i, 7 * i, 255));
    return Straight(4, 3, pixels);
}

// The colour the working image should hold for a straight colour under an adjustment and an alpha.
Bgra Expected(QRgb straight, const platform::ColourAdjustment& adjustment, uint8_t alpha)
{
    const platform::ColourTables tables = adjustment.Tables();
    return {Premultiply(tables.blue[qBlue(straight)], alpha), Premultiply(tables.green[qGreen(straight)], alpha),
            Premultiply(tables.red[qRed(straight)], alpha), alpha};
}

platform::ColourAdjustment AdjustmentOf(const LayerInfo& info)
{
    platform::ColourAdjustment a;
    a.redGamma = info.redGamma;
    a.greenGamma = info.greenGamma;
    a.blueGamma = info.blueGamma;
    a.brightness = info.brightness;
    a.contrast = info.contrast;
    return a;
}

class LayerImageTest : public ::testing::Test {
protected:
    Document document;
};

TEST_F(LayerImageTest, NamesAndInitialCrop)
{
    document.step = 5;
    LayerImage face(QString(), LayerFlagsFace, 0);
    EXPECT_EQ(face.name, QStringLiteral("Face 1"));
    EXPECT_EQ(face.cropTopLeft, (PointF{0.25f, 0.25f}));
    EXPECT_EQ(face.cropBottomRight, (PointF{0.75f, 0.75f}));
    EXPECT_EQ(face.flags, LayerFlagsFace);
    EXPECT_EQ(face.dirty, (Rect{0, 0, 0, 0}));
    EXPECT_EQ(face.requestId, 0);
    EXPECT_FALSE(face.fit);
    EXPECT_EQ(face.pendingTask, nullptr);

    face.LinkBefore(&document.layers);
    LayerImage second(QString(), LayerFlagsFace, 1);
    EXPECT_EQ(second.name, QStringLiteral("Face 2"));
    face.Unlink();

    document.step = StepFinish;
    LayerImage late(QString(), LayerFlagsFace, 0);
    EXPECT_EQ(late.cropTopLeft, (PointF{0, 0}));
    EXPECT_EQ(late.cropBottomRight, (PointF{1, 1}));

    EXPECT_EQ(LayerImage(QString(), LayerFlagsBackground, 0).name, QStringLiteral("@BG@ 1"));
    EXPECT_EQ(LayerImage(QStringLiteral("Hat"), LayerFlagsAccessory, 0).name, QStringLiteral("Hat 1"));
}

TEST_F(LayerImageTest, StoredPictureShowsItsMaskPremultiplied)
{
    const std::vector<QRgb> pixels{qRgba(30, 20, 10, 255), qRgba(200, 100, 50, 128), qRgba(255, 255, 255, 0),
                                   qRgba(120, 80, 40, 64)};
    const auto layer = PaintLayerFrom(Straight(2, 2, pixels), LayerFlagsFace);
    Image* working = layer->GetImage();
    Image* source = layer->GetSourceImage();
    ASSERT_NE(working, nullptr);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(working->bitsPerPixel, 32);
    EXPECT_EQ(source->bitsPerPixel, 24);
    EXPECT_EQ(layer->size, (PointF{2, 2}));
    EXPECT_EQ(layer->centre, (PointF{1, 1}));
    const platform::ColourAdjustment identity;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(PixelOf(*working, i % 2, i / 2), Expected(pixels[i], identity, qAlpha(pixels[i]))) << i;
        const Bgra colour = PixelOf(*source, i % 2, i / 2);
        EXPECT_EQ(colour, (Bgra{uint8_t(qBlue(pixels[i])), uint8_t(qGreen(pixels[i])), uint8_t(qRed(pixels[i])), 255}));
    }
    EXPECT_EQ(PixelOf(*working, 1, 0), (Bgra{25, 50, 100, 128}));  // 200 x 128 / 255 rounds to 100
}

TEST_F(LayerImageTest, StoredPictureShowsTheStoredColourAdjustment)
{
    const std::vector<QRgb> pixels{qRgba(30, 20, 10, 255), qRgba(200, 100, 50, 128)};
    LayerImage layer(QString(), LayerFlagsFace, 0);
    layer.brightness = 40;
    layer.contrast = -20;
    layer.redGamma = 15000;
    QByteArray bytes = ImgBlock(Straight(2, 1, pixels));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    platform::ArchiveReader reader(buffer);
    ASSERT_TRUE(layer.Load(reader));
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(PixelOf(*layer.GetImage(), i, 0), Expected(pixels[i], AdjustmentOf(layer), qAlpha(pixels[i]))) << i;
}

TEST_F(LayerImageTest, ApplyColorRedrawsFromTheSourceKeepingTheMask)
{
    const std::vector<QRgb> pixels{qRgba(30, 20, 10, 255), qRgba(200, 100, 50, 128)};
    const auto layer = PaintLayerFrom(Straight(2, 1, pixels), LayerFlagsFace);
    layer->brightness = -60;
    layer->blueGamma = 30000;
    layer->ApplyColor();
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(PixelOf(*layer->GetImage(), i, 0), Expected(pixels[i], AdjustmentOf(*layer), qAlpha(pixels[i])));
    // Back to the identity: the colours come back exactly, not from the darkened working image.
    layer->brightness = 0;
    layer->blueGamma = 10000;
    layer->ApplyColor();
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(PixelOf(*layer->GetImage(), i, 0), Expected(pixels[i], {}, qAlpha(pixels[i])));
}

TEST_F(LayerImageTest, PictureFilesLoadByDepthAndFlags)
{
    QTemporaryDir folder;
    // 1024 pixels wide: loading with up-scaling leaves it as it is.
    QImage opaque(1024, 2, QImage::Format_RGB32);
    opaque.fill(qRgb(90, 60, 30));
    QImage withAlpha(1024, 2, QImage::Format_ARGB32);
    withAlpha.fill(qRgba(200, 100, 50, 128));
    const QString opaquePath = folder.filePath("opaque.png");
    const QString alphaPath = folder.filePath("alpha.png");
    WriteFile(opaquePath, PngBytes(opaque));
    WriteFile(alphaPath, PngBytes(withAlpha));

    LayerImage plain(QString(), LayerFlagsBackground, 0);
    ASSERT_TRUE(plain.LoadFile(opaquePath));
    EXPECT_EQ(plain.GetImage()->bitsPerPixel, 24);
    EXPECT_EQ(plain.GetSourceImage(), nullptr);
    EXPECT_EQ(plain.size, (PointF{1024, 2}));
    EXPECT_EQ(plain.centre, (PointF{512, 1}));

    LayerImage accessory(QString(), LayerFlagsAccessory, 0);
    ASSERT_TRUE(accessory.LoadFile(alphaPath));
    EXPECT_EQ(accessory.GetImage()->bitsPerPixel, 32);
    EXPECT_EQ(accessory.GetSourceImage(), nullptr);
    EXPECT_EQ(PixelOf(*accessory.GetImage(), 5, 1), (Bgra{25, 50, 100, 128}));  // premultiplied once

    LayerImage face(QString(), LayerFlagsFace, 0);
    ASSERT_TRUE(face.LoadFile(opaquePath));
    EXPECT_EQ(face.GetImage()->bitsPerPixel, 32);
    EXPECT_EQ(face.GetSourceImage()->bitsPerPixel, 24);
    EXPECT_EQ(PixelOf(*face.GetImage(), 3, 0), (Bgra{30, 60, 90, 255}));

    LayerImage paintedAlpha(QString(), LayerFlagsFace, 0);
    ASSERT_TRUE(paintedAlpha.LoadFile(alphaPath));
    EXPECT_EQ(PixelOf(*paintedAlpha.GetImage(), 0, 0), (Bgra{25, 50, 100, 128}));
    EXPECT_EQ(PixelOf(*paintedAlpha.GetSourceImage(), 0, 0), (Bgra{50, 100, 200, 255}));

    LayerImage missing(QString(), LayerFlagsFace, 0);
    EXPECT_FALSE(missing.LoadFile(folder.filePath("none.png")));
    EXPECT_EQ(missing.GetImage(), nullptr);
    EXPECT_EQ(missing.size, (PointF{1, 1}));
}

TEST_F(LayerImageTest, AStrokeIsJournaledUndoneAndRedone)
{
    const QImage picture = Opaque4x3();
    const auto layer = PaintLayerFrom(picture, LayerFlagsFace);
    layer->brightness = 30;
    layer->ApplyColor();
    Image& working = *layer->GetImage();
    const std::vector<uint8_t> clear(16, 0);

    ASSERT_NE(layer->BeginEdit(), nullptr);
    EXPECT_EQ(layer->dirty, EmptyRect);
    layer->AddDirty({1, 0, 2, 1});
    working.ApplyMask(clear.data(), 4, 1, 0, 0, 0, 2, 2);  // the brush erases the block
    layer->AddDirty({2, 1, 3, 2});
    working.ApplyMask(clear.data(), 4, 2, 1, 0, 0, 2, 2);
    RecordingJournal journal;
    EXPECT_TRUE(layer->EndEdit(journal, 5));
    ASSERT_EQ(journal.records.size(), 1u);
    const RecordingJournal::Record& record = journal.records[0];
    EXPECT_EQ(record.rect, (Rect{1, 0, 3, 2}));
    EXPECT_EQ(record.stride, 4);
    EXPECT_EQ(record.layerIndex, 5);
    // Old XOR new over the rectangle: 255 where the brush erased, 0 elsewhere.
    EXPECT_EQ(record.bytes, (std::vector<uint8_t>{255, 255, 0, 255, 255, 255, 0, 255, 255}));

    // Meanwhile the colour adjustment changes; undo redraws the stroke's rectangle with the current one.
    const platform::ColourAdjustment before = AdjustmentOf(*layer);
    layer->brightness = -25;
    layer->RestorePixels(record.bytes.data(), record.rect);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool inStroke = x >= 1;
            EXPECT_EQ(PixelOf(working, x, y),
                      Expected(picture.pixel(x, y), inStroke ? AdjustmentOf(*layer) : before, 255)) << x << y;
        }

    layer->RestorePixels(record.bytes.data(), record.rect);  // redo
    EXPECT_EQ(PixelOf(working, 1, 0), (Bgra{0, 0, 0, 0}));
    EXPECT_EQ(PixelOf(working, 3, 2), (Bgra{0, 0, 0, 0}));
    EXPECT_EQ(PixelOf(working, 3, 0), Expected(picture.pixel(3, 0), AdjustmentOf(*layer), 255));
    EXPECT_EQ(PixelOf(working, 0, 1), Expected(picture.pixel(0, 1), before, 255));
}

TEST_F(LayerImageTest, AnEditWithoutDirtyAreaJournalsNothing)
{
    for (const QImage& picture : {Opaque4x3(), Straight(1, 1, {qRgba(1, 2, 3, 255)})}) {
        const auto layer = PaintLayerFrom(picture, LayerFlagsFace);
        RecordingJournal journal;
        layer->BeginEdit();
        EXPECT_FALSE(layer->EndEdit(journal, 0)) << picture.width();
        EXPECT_TRUE(journal.records.empty()) << picture.width();
    }
    LayerImage empty(QString(), LayerFlagsFace, 0);
    RecordingJournal journal;
    EXPECT_EQ(empty.BeginEdit(), nullptr);
    empty.AddDirty({0, 0, 3, 3});
    EXPECT_FALSE(empty.EndEdit(journal, 0));
}

TEST_F(LayerImageTest, DirtyRectangleIsClampedToThePicture)
{
    const auto layer = PaintLayerFrom(Opaque4x3(), LayerFlagsFace);
    RecordingJournal journal;
    layer->BeginEdit();
    layer->AddDirty({-5, -5, 1, 1});
    layer->AddDirty({2, 2, 10, 10});
    EXPECT_TRUE(layer->EndEdit(journal, 0));
    ASSERT_EQ(journal.records.size(), 1u);
    EXPECT_EQ(journal.records[0].rect, (Rect{0, 0, 3, 2}));
    EXPECT_EQ(journal.records[0].bytes, std::vector<uint8_t>(12, 0));  // nothing changed
    journal.refuse = true;
    layer->BeginEdit();
    layer->AddDirty({0, 0, 0, 0});
    EXPECT_FALSE(layer->EndEdit(journal, 0));
}

} // namespace
