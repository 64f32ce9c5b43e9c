#include "engine/view/ColorBox.h"

#include "engine/colour/ColorMatch.h"
#include "engine/colour/GammaScale.h"
#include "engine/document/Document.h"
#include "engine/document/UpdateHint.h"
#include "engine/layers/Layer.h"
#include "platform/DialogTemplate.h"
#include "platform/ui/DialogControls.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>

namespace {

constexpr int32_t SliderCount = 5;
constexpr int32_t GammaSliderCount = 3;
// A track bar's page (a click in its channel) is a fifth of its range.
constexpr int32_t PageFraction = 5;

// Dialog template 192. Each track bar follows its label, and the buttons come last, so the tab order
// runs down the track bars and then along the buttons.
platform::DialogTemplate ColorBoxTemplate()
{
    using platform::ControlKind;
    using platform::ControlStyle;
    constexpr int32_t none = platform::DialogControl::NoControlId;
    platform::DialogTemplate dialog{192, QStringLiteral("Adjust Color"), {246, 155}, QStringLiteral("MS Shell Dlg"), 8,
                                    platform::DialogFrame::Modal, {}};
    const QString labels[SliderCount] = {QStringLiteral("Red:"), QStringLiteral("Green:"), QStringLiteral("Blue:"),
                                         QStringLiteral("Brightness:"), QStringLiteral("Contrast:")};
    for (int32_t i = 0; i < SliderCount; ++i) {
        const int32_t y = 7 + 24 * i;
        dialog.controls.push_back({none, ControlKind::Static, labels[i], {7, y, 37, 24}, ControlStyle::TextVCentred, 0});
        dialog.controls.push_back({ColorBox::RedId + i, ControlKind::TrackBar, {}, {55, y, 184, 24}, {}, 0});
    }
    dialog.controls.push_back({ColorBox::AutoAdjustId, ControlKind::PushButton, QStringLiteral("Auto Adjust"),
                               {82, 134, 50, 14}, {}, 0});
    dialog.controls.push_back({platform::DialogOkId, ControlKind::PushButton, QStringLiteral("OK"), {136, 134, 50, 14},
                               ControlStyle::DefaultButton, 0});
    dialog.controls.push_back({platform::DialogCancelId, ControlKind::PushButton, QStringLiteral("Cancel"), {189, 134, 50, 14}, {}, 0});
    return dialog;
}

void SetRange(QSlider& slider, int32_t minimum, int32_t maximum)
{
    slider.setRange(minimum, maximum);
    slider.setPageStep((maximum - minimum) / PageFraction);
    slider.setSingleStep(1);
}

} // namespace

ColorBox::ColorBox(Document& document, Layer& layer, QWidget* parent)
    : QDialog(parent), m_document(document), m_layer(layer), m_saved(LayerLevels())
{
    const platform::DialogControls controls = platform::DialogControls::Build(ColorBoxTemplate(), *this);
    for (int32_t i = 0; i < SliderCount; ++i) {
        m_sliders[i] = controls.Get<QSlider>(RedId + i);
        m_sliders[i]->installEventFilter(this);
    }
    SetSliders(m_saved);

    connect(controls.Get<QPushButton>(AutoAdjustId), &QPushButton::clicked, this, &ColorBox::OnAutoAdjust);
    connect(controls.Get<QPushButton>(platform::DialogOkId), &QPushButton::clicked, this, &ColorBox::accept);
    connect(controls.Get<QPushButton>(platform::DialogCancelId), &QPushButton::clicked, this, &ColorBox::reject);
}

QSlider* ColorBox::TrackBar(int32_t id) const
{
    return id >= RedId && id < RedId + SliderCount ? m_sliders[id - RedId] : nullptr;
}

ColorBox::Levels ColorBox::LayerLevels() const
{
    return {m_layer.redGamma, m_layer.greenGamma, m_layer.blueGamma, m_layer.brightness, m_layer.contrast};
}

void ColorBox::SetLayerLevels(const Levels& levels)
{
    m_layer.redGamma = levels.red;
    m_layer.greenGamma = levels.green;
    m_layer.blueGamma = levels.blue;
    m_layer.brightness = levels.brightness;
    m_layer.contrast = levels.contrast;
}

void ColorBox::SetSliders(const Levels& levels)
{
    const int32_t gammas[GammaSliderCount] = {levels.red, levels.green, levels.blue};
    for (int32_t i = 0; i < GammaSliderCount; ++i) {
        SetRange(*m_sliders[i], GammaPositionMin, GammaPositionMax);
        m_sliders[i]->setValue(GammaPositionFromGamma(gammas[i]));
    }
    for (int32_t i = GammaSliderCount; i < SliderCount; ++i)
        SetRange(*m_sliders[i], LayerInfo::MinColourLevel, LayerInfo::MaxColourLevel);
    m_sliders[BrightnessId - RedId]->setValue(levels.brightness);
    m_sliders[ContrastId - RedId]->setValue(levels.contrast);
}

// The gammas are stored as the scale gives them: position 1000 is 2499, below the colour adjustment's
// smallest gamma, which clamps it when the colours are drawn.
void ColorBox::ReadSliders()
{
    SetLayerLevels({GammaFromPosition(m_sliders[RedId - RedId]->value()),
                    GammaFromPosition(m_sliders[GreenId - RedId]->value()),
                    GammaFromPosition(m_sliders[BlueId - RedId]->value()), m_sliders[BrightnessId - RedId]->value(),
                    m_sliders[ContrastId - RedId]->value()});
}

void ColorBox::Preview()
{
    m_layer.ApplyColor();
    m_document.UpdateAllViews(nullptr, HintRedraw);
}

void ColorBox::OnSliderReleased()
{
    ReadSliders();
    Preview();
}

void ColorBox::OnAutoAdjust()
{
    const int32_t unadjusted = GammaFromPosition(GammaPositionMiddle);
    SetLayerLevels({unadjusted, unadjusted, unadjusted, 0, 0});
    m_layer.ApplyColor();
    MatchColors(m_document, m_layer);  // leaves the gammas at 10000 when nothing lies behind the layer
    SetSliders(LayerLevels());
    Preview();
}

void ColorBox::accept()
{
    const Levels chosen = LayerLevels();
    const Levels delta{chosen.red - m_saved.red, chosen.green - m_saved.green, chosen.blue - m_saved.blue,
                       chosen.brightness - m_saved.brightness, chosen.contrast - m_saved.contrast};
    SetLayerLevels(m_saved);
    const bool changed = delta.red || delta.green || delta.blue || delta.brightness || delta.contrast;
    // Appending performs the record: the deltas are added back and the colours redrawn.
    if (changed && !m_document.journal.AddColor(delta.red, delta.green, delta.blue, delta.brightness, delta.contrast))
        Preview();  // refused: the picture shows the old values again, as the layer holds them
    QDialog::accept();
}

void ColorBox::reject()
{
    SetLayerLevels(m_saved);
    Preview();
    QDialog::reject();
}

bool ColorBox::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonRelease || static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
        return QDialog::eventFilter(watched, event);
    // The track bar ends its drag or its paging with the release first; the preview reads its final
    // position after that.
    watched->event(event);
    OnSliderReleased();
    return true;
}
