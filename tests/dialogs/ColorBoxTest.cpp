#include "DialogFixture.h"

#include "support/LayerPictures.h"

#include "engine/colour/GammaScale.h"
#include "engine/layers/Image.h"
#include "engine/layers/LayerImage.h"
#include "engine/view/ColorBox.h"

#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <array>
#include <vector>

namespace {

constexpr int OkId = 1;
constexpr int CancelId = 2;

using Levels = std::array<int32_t, 5>;  // red, green, blue gamma, brightness, contrast

Levels LevelsOf(const Layer& layer)
{
    return {layer.redGamma, layer.greenGamma, layer.blueGamma, layer.brightness, layer.contrast};
}

void SetLevels(Layer& layer, const Levels& levels)
{
    layer.redGamma = levels[0];
    layer.greenGamma = levels[1];
    layer.blueGamma = levels[2];
    layer.brightness = levels[3];
    layer.contrast = levels[4];
    layer.ApplyColor();
}

// The bytes of a layer's working picture.
std::vector<uint8_t> PixelsOf(Layer& layer)
{
    Image& image = *layer.GetImage();
    std::vector<uint8_t> bytes;
    for (int32_t y = 0; y < image.height; ++y) {
        const uint8_t* row = image.GetBits() + static_cast<ptrdiff_t>(y) * image.pitch;
        bytes.insert(bytes.end(), row, row + image.width * 4);
    }
    return bytes;
}

QSlider* Bar(QDialog& dialog, int id)
{
    return qobject_cast<QSlider*>(Control(dialog, id));
}

// The five positions the track bars show.
Levels Positions(QDialog& dialog)
{
    Levels positions{};
    for (int i = 0; i < 5; ++i)
        positions[i] = Bar(dialog, ColorBox::RedId + i)->value();
    return positions;
}

// A click on the track bar's thumb that does not move it.
void BareRelease(QDialog& dialog, int id)
{
    QSlider& slider = *Bar(dialog, id);
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.orientation = slider.orientation();
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = slider.sliderPosition();
    option.sliderValue = slider.value();
    option.singleStep = slider.singleStep();
    option.pageStep = slider.pageStep();
    const QRect thumb = slider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider);
    QTest::mouseClick(&slider, Qt::LeftButton, {}, thumb.center());
}

// A picture of many levels, so that small gamma changes show.
QImage Gradient(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 255 / (w - 1), y * 255 / (h - 1), (x + y) * 255 / (w + h - 2)));
    return image;
}

class ColorBoxTest : public DialogTest {
protected:
    ColorBoxTest()
    {
        document.scene = PictureLayer(Filled(16, 12, qRgb(100, 120, 160)), LayerFlagsBackground);
        face = Select(PictureLayer(Gradient(16, 12), LayerFlagsFace));
    }

    Layer* face = nullptr;
};

TEST_F(ColorBoxTest, ABareReleaseStoresThePositionsAndOkRecordsTheDeltas)
{
    const std::vector<uint8_t> before = PixelsOf(*face);
    const Person person([&](QDialog& dialog) {
        EXPECT_EQ(Positions(dialog), (Levels{499, 499, 499, 0, 0}));
        BareRelease(dialog, ColorBox::ContrastId);
        EXPECT_EQ(LevelsOf(*face), (Levels{10027, 10027, 10027, 0, 0}));
        EXPECT_EQ(hints.redraws, 1);
        Click(dialog, OkId);
    });
    document.OnChangeColor();
    EXPECT_EQ(person.dialogs, 1);
    EXPECT_EQ(LevelsOf(*face), (Levels{10027, 10027, 10027, 0, 0}));
    const std::vector<uint8_t> after = PixelsOf(*face);
    ASSERT_TRUE(journal.CanUndo());
    journal.Undo();
    EXPECT_FALSE(journal.CanUndo());  // one step
    EXPECT_EQ(LevelsOf(*face), (Levels{10000, 10000, 10000, 0, 0}));
    EXPECT_EQ(PixelsOf(*face), before);
    journal.Redo();
    EXPECT_EQ(PixelsOf(*face), after);
}

TEST_F(ColorBoxTest, KeyboardChangesWaitForTheNextReleaseOfAnyBar)
{
    const std::vector<uint8_t> before = PixelsOf(*face);
    const Person person([&](QDialog& dialog) {
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(Bar(dialog, ColorBox::GreenId), Qt::Key_Right);
        QTest::keyClick(Bar(dialog, ColorBox::BrightnessId), Qt::Key_Left);
        EXPECT_EQ(Positions(dialog), (Levels{499, 502, 499, -1, 0}));
        EXPECT_EQ(LevelsOf(*face), (Levels{10000, 10000, 10000, 0, 0}));
        EXPECT_EQ(hints.redraws, 0);
        BareRelease(dialog, ColorBox::RedId);
        EXPECT_EQ(LevelsOf(*face), (Levels{10027, GammaFromPosition(502), 10027, -1, 0}));
        Click(dialog, CancelId);
    });
    document.OnChangeColor();
    EXPECT_EQ(LevelsOf(*face), (Levels{10000, 10000, 10000, 0, 0}));
    EXPECT_EQ(PixelsOf(*face), before);
    EXPECT_FALSE(journal.CanUndo());
}

TEST_F(ColorBoxTest, OkWithoutAReleaseRecordsNothing)
{
    const std::vector<uint8_t> before = PixelsOf(*face);
    const Person person([&](QDialog& dialog) {
        QTest::keyClick(Bar(dialog, ColorBox::RedId), Qt::Key_Right);
        QTest::keyClick(&dialog, Qt::Key_Return);  // the default button
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    });
    document.OnChangeColor();
    EXPECT_FALSE(journal.CanUndo());
    EXPECT_EQ(LevelsOf(*face), (Levels{10000, 10000, 10000, 0, 0}));
    EXPECT_EQ(PixelsOf(*face), before);
}

TEST_F(ColorBoxTest, AutoAdjustMatchesTheUnadjustedColoursAndCancelRestoresAllFive)
{
    face->Unlink();
    delete face;
    face = Select(PictureLayer(Filled(16, 12, qRgb(200, 120, 60)), LayerFlagsFace));
    const Levels opened{5000, 20000, 12000, 30, -20};
    SetLevels(*face, opened);
    const std::vector<uint8_t> before = PixelsOf(*face);
    // The layer's levels against the scene's: red 200 - 100, green equal, blue 60 - 160.
    const Levels matched{GammaFromPosition(500 + 100 * 500 / 256), 10000, GammaFromPosition(500 - 100 * 500 / 256), 0, 0};
    auto twin = PictureLayer(Filled(16, 12, qRgb(200, 120, 60)), LayerFlagsFace);
    SetLevels(*twin, matched);
    const std::vector<uint8_t> matchedPixels = PixelsOf(*twin);
    const Person person([&](QDialog& dialog) {
        Click(dialog, ColorBox::AutoAdjustId);
        EXPECT_EQ(LevelsOf(*face), matched);
        EXPECT_EQ(Positions(dialog), (Levels{GammaPositionFromGamma(matched[0]), 499, GammaPositionFromGamma(matched[2]), 0, 0}));
        EXPECT_EQ(PixelsOf(*face), matchedPixels);
        EXPECT_GE(hints.redraws, 1);
        Click(dialog, CancelId);
    });
    document.OnChangeColor();
    EXPECT_EQ(LevelsOf(*face), opened);
    EXPECT_EQ(PixelsOf(*face), before);
    EXPECT_FALSE(journal.CanUndo());
}

TEST_F(ColorBoxTest, TheTrackBarsShowTheScaleAndStoreWhatTheyShow)
{
    struct Case {
        Levels layer;
        Levels shown;
        Levels stored;  // after a release that moves nothing
    };
    const Case cases[] = {
        {{10000, 2500, 40000, -100, 100}, {499, 1000, 0, -100, 100}, {10027, 2499, 39999, -100, 100}},
        {{GammaFromPosition(250), 1, 99999, 37, -5}, {250, 1000, 0, 37, -5}, {GammaFromPosition(250), 2499, 39999, 37, -5}},
    };
    for (const Case& c : cases) {
        SetLevels(*face, c.layer);
        ColorBox box(document, *face);
        EXPECT_EQ(Positions(box), c.shown);
        EXPECT_EQ(Bar(box, ColorBox::RedId)->maximum(), 1000);
        EXPECT_EQ(Bar(box, ColorBox::ContrastId)->minimum(), -100);
        box.show();
        BareRelease(box, ColorBox::BlueId);
        EXPECT_EQ(LevelsOf(*face), c.stored);
        box.reject();
        EXPECT_EQ(LevelsOf(*face), c.layer);
    }
}

TEST_F(ColorBoxTest, TheTemplate)
{
    const Person person([&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Adjust Color"));
        EXPECT_EQ(dialog.size(), QSize(369, 252));
        EXPECT_EQ(Control(dialog, ColorBox::RedId)->geometry(), QRect(83, 11, 276, 39));
        EXPECT_EQ(Control(dialog, ColorBox::ContrastId)->geometry(), QRect(83, 167, 276, 39));
        EXPECT_EQ(Control(dialog, ColorBox::AutoAdjustId)->geometry(), QRect(123, 218, 75, 23));
        CheckLayout(dialog, "adjust-color");
        Click(dialog, CancelId);
    });
    document.OnChangeColor();
}

// A click in a track bar's channel pages the thumb but is no drag of it: the preview waited for a
// drag's end and never came.
TEST_F(ColorBoxTest, RegressionAClickInTheChannelPreviewsNothing)
{
    const std::vector<uint8_t> before = PixelsOf(*face);
    const Person person([&](QDialog& dialog) {
        QSlider* red = Bar(dialog, ColorBox::RedId);
        QTest::mouseClick(red, Qt::LeftButton, {}, QPoint(red->width() - 4, red->height() / 2));
        EXPECT_EQ(red->value(), 699);
        EXPECT_EQ(face->redGamma, GammaFromPosition(699));
        EXPECT_NE(PixelsOf(*face), before);
        EXPECT_EQ(hints.redraws, 1);
        Click(dialog, OkId);
    });
    document.OnChangeColor();
    EXPECT_EQ(face->redGamma, GammaFromPosition(699));
    const std::vector<uint8_t> after = PixelsOf(*face);
    EXPECT_NE(after, before);
    journal.Undo();
    EXPECT_EQ(PixelsOf(*face), before);
    journal.Redo();
    EXPECT_EQ(PixelsOf(*face), after);
}

// The right end of the gamma scale is 2499, below the smallest gamma the colour adjustment takes. It is
// stored as the scale gives it (the record's delta from 2500 is -1) and drawn as 2500.
TEST_F(ColorBoxTest, RegressionTheRightEndGivesAGammaBelowTheColourAdjustmentsMinimum)
{
    SetLevels(*face, {2500, 2500, 2500, 0, 0});
    const std::vector<uint8_t> at2500 = PixelsOf(*face);
    const Person person([&](QDialog& dialog) {
        BareRelease(dialog, ColorBox::RedId);
        Click(dialog, OkId);
    });
    document.OnChangeColor();
    EXPECT_EQ(LevelsOf(*face), (Levels{2499, 2499, 2499, 0, 0}));
    EXPECT_EQ(PixelsOf(*face), at2500);
    journal.Undo();
    EXPECT_EQ(LevelsOf(*face), (Levels{2500, 2500, 2500, 0, 0}));
}

} // namespace
