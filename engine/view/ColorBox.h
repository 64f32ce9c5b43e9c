#pragma once

#include <QDialog>
#include <cstdint>

class Document;
class Layer;
class QSlider;

// The modal "Adjust Color" dialog (template 192) for the selected picture layer: red, green and blue
// gamma on the reversed logarithmic scale (engine/colour/GammaScale.h), brightness and contrast. Each
// mouse release on a track bar previews all five values on the layer; Auto Adjust matches the layer's
// colours to what lies behind it. OK turns the net change into one colour record of the document's
// journal, so that one undo restores the old colours; Cancel puts the old values back.
class ColorBox final : public QDialog {
public:
    ColorBox(Document& document, Layer& layer, QWidget* parent = nullptr);

    // Preview: the five track bars into the layer, its colours redrawn, the views repainted.
    void OnSliderReleased();
    // Auto Adjust: the layer's unadjusted colours matched to the picture behind it, then previewed.
    void OnAutoAdjust();
    // OK: one colour record of the deltas, when there are any; closes.
    void accept() override;
    // Cancel (also Escape and the close box): the values from when the dialog opened; closes.
    void reject() override;

    QSlider* TrackBar(int32_t id) const;

    static constexpr int32_t AutoAdjustId = 3;
    static constexpr int32_t RedId = 1003;
    static constexpr int32_t GreenId = 1004;
    static constexpr int32_t BlueId = 1005;
    static constexpr int32_t BrightnessId = 1006;
    static constexpr int32_t ContrastId = 1007;

protected:
    // A track bar lets go of the mouse after every left-button release on it, a click in its channel
    // included.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The layer's five colour values.
    struct Levels {
        int32_t red = 0;
        int32_t green = 0;
        int32_t blue = 0;
        int32_t brightness = 0;
        int32_t contrast = 0;
    };
    Levels LayerLevels() const;
    void SetLayerLevels(const Levels& levels);
    void SetSliders(const Levels& levels);
    void ReadSliders();
    // The layer's colours redrawn from its values and the views told to repaint.
    void Preview();

    Document& m_document;
    Layer& m_layer;
    Levels m_saved;  // the layer's values when the dialog opened
    QSlider* m_sliders[5] = {};
};
