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
const Levels Unadjusted{10000, 10000, 10000, 0, 0};

Levels LevelsOf(const Layer& layer)
{
    return {layer.redGamma, layer.greenGamma, layer.blueGamma, layer.brightness, layer.contrast};
}

void SetLevels(Layer& layer, const Levels& l)
{
    std::tie(layer.redGamma, layer.greenGamma, layer.blueGamma, layer.brightness, layer.contrast) =
        std::tie(l[0], l[1], l[2], l[3], l[4]);
    layer.ApplyColor();
}

std::vector<uint8_t> PixelsOf(Layer& layer)
{
    Image& image = *layer.GetImage();
    return {image.GetBits(), image.GetBits() + static_cast<ptrdiff_t>(image.height) * image.pitch};
}

QSlider* Bar(QDialog& dialog, int id)
{
    return static_cast<QSlider*>(Control(dialog, id));
}

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
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = slider.sliderPosition();
    const QRect thumb = slider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider);
    QTest::mouseClick(&slider, Qt::LeftButton, {}, thumb.center());
}

// A face in front of a scene of other colours.
class ColorBoxTest : public DialogTest {
protected:
    ColorBoxTest() { document.scene = PictureLayer(Filled(16, 12, qRgb(100, 120, 160)), LayerFlagsBackground); }

    const QImage picture = Filled(16, 12, qRgb(200, 120, 60));
    Layer* face = Select(PictureLayer(picture, LayerFlagsFace));
};

// Keys move the bars without a preview; the next release of any bar, even one that moves nothing,
// stores every bar's position, previews once, and OK records the deltas as one undo step.
TEST_F(ColorBoxTest, KeyboardChangesWaitForTheNextReleaseOfAnyBarAndOkRecordsTheDeltas)
{
    const std::vector<uint8_t> before = PixelsOf(*face);
    const Person okAtOnce([&](QDialog& dialog) {
        QTest::keyClick(Bar(dialog, ColorBox::RedId), Qt::Key_Right);
        QTest::keyClick(&dialog, Qt::Key_Return);  // OK, the default button
    });
    document.OnChangeColor();
    EXPECT_FALSE(journal.CanUndo());
    EXPECT_EQ(LevelsOf(*face), Unadjusted);

    const Levels released{10027, GammaFromPosition(502), 10027, -1, 0};
    const Person person([&](QDialog& dialog) {
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(Bar(dialog, ColorBox::GreenId), Qt::Key_Right);
        QTest::keyClick(Bar(dialog, ColorBox::BrightnessId), Qt::Key_Left);
        EXPECT_EQ(LevelsOf(*face), Unadjusted);
        hints.redraws = 0;
        BareRelease(dialog, ColorBox::RedId);
        EXPECT_EQ(LevelsOf(*face), released);
        EXPECT_EQ(hints.redraws, 1);
        Click(dialog, OkId);
    });
    document.OnChangeColor();
    EXPECT_EQ(LevelsOf(*face), released);
    journal.Undo();
    EXPECT_FALSE(journal.CanUndo());
    EXPECT_EQ(LevelsOf(*face), Unadjusted);
    EXPECT_EQ(PixelsOf(*face), before);
}

TEST_F(ColorBoxTest, AutoAdjustMatchesTheUnadjustedColoursAndCancelRestoresAllFive)
{
    const Levels opened{5000, 20000, 12000, 30, -20};
    SetLevels(*face, opened);
    const std::vector<uint8_t> before = PixelsOf(*face);
    // The face's levels against the scene's: red 200 to 100, green equal, blue 60 to 160.
    const Levels matched{GammaFromPosition(500 + 100 * 500 / 256), 10000, GammaFromPosition(500 - 100 * 500 / 256), 0, 0};
    auto twin = PictureLayer(picture, LayerFlagsFace);
    SetLevels(*twin, matched);
    const Person person([&](QDialog& dialog) {
        Click(dialog, ColorBox::AutoAdjustId);
        EXPECT_EQ(LevelsOf(*face), matched);
        EXPECT_EQ(PixelsOf(*face), PixelsOf(*twin));
        EXPECT_EQ(Positions(dialog), (Levels{GammaPositionFromGamma(matched[0]), 499, GammaPositionFromGamma(matched[2]), 0, 0}));
        Click(dialog, CancelId);
    });
    document.OnChangeColor();
    EXPECT_EQ(LevelsOf(*face), opened);
    EXPECT_EQ(PixelsOf(*face), before);
    EXPECT_FALSE(journal.CanUndo());
}

TEST_F(ColorBoxTest, TheBarsShowTheScaleAndStoreWhatTheyShow)
{
    const std::tuple<Levels, Levels, Levels> cases[] = {
        // the layer's values, the positions shown, the values after a release that moves nothing
        {{10000, 2500, 40000, -100, 100}, {499, 1000, 0, -100, 100}, {10027, 2499, 39999, -100, 100}},
        {{GammaFromPosition(250), 1, 99999, 37, -5}, {250, 1000, 0, 37, -5}, {GammaFromPosition(250), 2499, 39999, 37, -5}},
    };
    for (const auto& [layer, shown, stored] : cases) {
        SetLevels(*face, layer);
        ColorBox box(document, *face);
        box.show();
        EXPECT_EQ(Positions(box), shown);
        BareRelease(box, ColorBox::BlueId);
        EXPECT_EQ(LevelsOf(*face), stored);
        box.reject();
        EXPECT_EQ(LevelsOf(*face), layer);
    }
}

// A click in a track bar's channel pages the thumb without dragging it, and so never previewed.
TEST_F(ColorBoxTest, RegressionAClickInTheChannelPreviewsNothing)
{
    const std::vector<uint8_t> before = PixelsOf(*face);
    const Person person([&](QDialog& dialog) {
        QSlider* red = Bar(dialog, ColorBox::RedId);
        QTest::mouseClick(red, Qt::LeftButton, {}, QPoint(red->width() - 4, red->height() / 2));
        EXPECT_EQ(red->value(), 699);  // a page is a fifth of the range
        EXPECT_EQ(face->redGamma, GammaFromPosition(699));
        EXPECT_NE(PixelsOf(*face), before);
        Click(dialog, OkId);
    });
    document.OnChangeColor();
    journal.Undo();
    EXPECT_EQ(PixelsOf(*face), before);
}

// The right end of the scale is 2499, below the colour adjustment's smallest gamma: it is stored as the
// scale gives it (the record's delta from 2500 is -1) and drawn as 2500.
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
