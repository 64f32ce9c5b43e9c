#include "DocumentFixture.h"

#include "engine/document/JournalKind.h"
#include "engine/layers/Image.h"

#include <cstring>

namespace {

class PixelRecordTest : public DocumentTest {
protected:
    void SetUp() override
    {
        journal.AddInsertLayer(Rect{}, Picture(QStringLiteral("f.png")), QString(), 0, LayerKindOwnFile, 0);
        journal.AddInsertLayer(Rect{}, Picture(QStringLiteral("g.png")), QString(), 0, LayerKindOwnFile, 1);
        face = document.layers.GetAt(0);
        other = document.layers.GetAt(1);
        ASSERT_NE(face->GetImage(), nullptr);
        ASSERT_EQ(face->GetImage()->bitsPerPixel, 32);
    }

    // A brush stroke as the brush tracker makes it: the rectangle's alpha set to value, journaled.
    bool Stroke(Layer* layer, const Rect& r, uint8_t value)
    {
        const int32_t w = r.right - r.left + 1;
        const int32_t h = r.bottom - r.top + 1;
        layer->BeginEdit();
        layer->AddDirty(r);
        const std::vector<uint8_t> mask(static_cast<size_t>(w * h), value);
        layer->GetImage()->ApplyMask(mask.data(), w, r.left, r.top, 0, 0, w, h);
        return layer->EndEdit(journal, document.layers.IndexOf(layer));
    }

    // Every byte of the layer's working image.
    static std::vector<uint8_t> Pixels(Layer* layer)
    {
        Image* image = layer->GetImage();
        std::vector<uint8_t> out;
        for (int32_t y = 0; y < image->height; ++y) {
            const uint8_t* row = image->GetBits() + static_cast<ptrdiff_t>(y) * image->pitch;
            out.insert(out.end(), row, row + image->width * 4);
        }
        return out;
    }

    static uint8_t AlphaAt(Layer* layer, int32_t x, int32_t y)
    {
        Image* image = layer->GetImage();
        return image->GetBits()[static_cast<ptrdiff_t>(y) * image->pitch + x * 4 + 3];
    }

    Layer* face = nullptr;
    Layer* other = nullptr;
};

TEST_F(PixelRecordTest, AStrokeIsUndoneAndRedoneExactly)
{
    const std::vector<uint8_t> before = Pixels(face);
    hints.redraws = 0;
    ASSERT_TRUE(Stroke(face, Rect{10, 2, 19, 5}, 0));
    EXPECT_EQ(hints.redraws, 0);  // already on screen
    EXPECT_EQ(journal.RecordSize(false), 76);  // 36 + 10 x 4
    EXPECT_EQ(AlphaAt(face, 10, 2), 0);
    const std::vector<uint8_t> after = Pixels(face);
    journal.Undo();
    EXPECT_EQ(Pixels(face), before);
    journal.Redo();
    EXPECT_EQ(Pixels(face), after);
    journal.Undo();
    EXPECT_EQ(Pixels(face), before);
}

TEST_F(PixelRecordTest, AMagicEraseGroupIsOneStep)
{
    const std::vector<uint8_t> faceBefore = Pixels(face);
    const std::vector<uint8_t> otherBefore = Pixels(other);
    const int32_t start = journal.GetPosition();
    journal.AddMark();
    ASSERT_TRUE(Stroke(face, Rect{0, 0, 3, 3}, 10));
    ASSERT_TRUE(Stroke(other, Rect{5, 1, 6, 7}, 200));
    journal.AddMark();
    journal.Undo();
    EXPECT_EQ(Pixels(face), faceBefore);
    EXPECT_EQ(Pixels(other), otherBefore);
    EXPECT_EQ(journal.GetPosition(), start);
    EXPECT_EQ(journal.GetEnd(), start + 4 + 52 + 52 + 4);  // 36 + 16, and 36 + 14 padded
    journal.Redo();
    EXPECT_EQ(AlphaAt(face, 3, 3), 10);
    EXPECT_EQ(AlphaAt(other, 6, 7), 200);
}

TEST_F(PixelRecordTest, RegressionAPixelRecordIsClippedToThePicture)
{
    // A record whose rectangle reaches past the picture (a layer made again at another size).
    std::vector<uint8_t> delta(1031 * 4, 0x0F);
    ASSERT_TRUE(journal.AddPixels(Rect{1020, 0, 1030, 3}, delta.data(), 1031, 0));
    const std::vector<uint8_t> before = Pixels(face);
    journal.Undo();
    const std::vector<uint8_t> after = Pixels(face);
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 1024; ++x) {
            const bool inside = x >= 1020 && y <= 3;
            const size_t alpha = static_cast<size_t>((y * 1024 + x) * 4 + 3);
            ASSERT_EQ(after[alpha], inside ? (255 ^ 0x0F) : before[alpha]) << x << "," << y;
            if (!inside) {
                ASSERT_EQ(std::memcmp(&after[alpha - 3], &before[alpha - 3], 4), 0) << x << "," << y;
            }
        }
    }
    journal.Redo();
    EXPECT_EQ(Pixels(face), before);
}

TEST_F(PixelRecordTest, RegressionAPixelRecordForALayerWithoutAPictureDoesNothing)
{
    journal.AddInsertLayer(Rect{}, QStringLiteral("/no/such/picture.png"), QString(), 0, LayerKindOwnFile, 2);
    ASSERT_EQ(document.layers.GetAt(2)->GetImage(), nullptr);
    const uint8_t delta[4] = {1, 2, 3, 4};
    ASSERT_TRUE(journal.AddPixels(Rect{0, 0, 1, 1}, delta, 2, 2));
    const QString before = Describe(document);
    journal.Undo();
    journal.Redo();
    EXPECT_EQ(Describe(document), before);
}

TEST_F(PixelRecordTest, AColourRecordIsUndoneToTheSamePixels)
{
    document.selectedIndex = 0;
    const std::vector<uint8_t> before = Pixels(face);
    ASSERT_TRUE(journal.AddColor(3000, 0, -2000, 40, 30));
    EXPECT_NE(Pixels(face), before);
    journal.Undo();
    EXPECT_EQ(Pixels(face), before);
}

} // namespace
