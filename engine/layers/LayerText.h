#pragma once

#include "engine/layers/Layer.h"

#include <QFont>
#include <memory>
#include <optional>

class ImageMeta;
namespace platform {
class TextLayout;
}

// A speech bubble: a metafile from the content library with the user's text, word-wrapped and centred in
// the bubble's text rectangle at the largest font height that still fits the rectangle's height. Every
// draw asks for the fitted font, but the height found is remembered while the text and the text
// rectangle stay as they were, so only a change of either measures again. Bubble and text move, scale
// and rotate together.
class LayerText final : public Layer {
public:
    // textRect is in the bubble's own pixels; a right or bottom of 0 means the whole bubble.
    LayerText(const Rect& textRect, int32_t tag);
    ~LayerText() override;

    void Draw(platform::DeviceContext& dc, const Rect& clip, const Rect& source, int32_t mode) override;
    // The common part, then the text rectangle and the text; archive errors pass to the caller.
    bool Store(platform::ArchiveWriter& archive) override;
    bool LoadFile(const QString& path) override;
    bool Load(platform::ArchiveReader& archive) override;
    // Takes a different text (case counts) and redraws; an equal text changes nothing.
    void SetText(const QString& text) override;
    QString GetText() const override;

    // Finds the largest font height at which the text fits the rectangle's height. The search is
    // remembered: while the text and the text rectangle stay as they were, the next call makes the
    // same font again without measuring.
    void FitFont(platform::DeviceContext& dc);
    void CreateFont(int32_t height);
    // Draws (or with the measuring flag, measures) the text; answers the height of the rectangle used.
    int32_t DrawText(uint32_t extraFlags, platform::DeviceContext& dc);

    const Rect& GetTextRect() const { return m_textRect; }
    const QFont* GetFont() const { return m_font.get(); }
    int32_t GetFontHeight() const { return m_fontHeight; }
    bool HasBubble() const { return m_bubble != nullptr; }

protected:
    bool HasContent() override { return HasBubble(); }

private:
    // The document rectangle the bubble's pixels can reach under m (its drawing transform).
    Rect DocumentBounds(const QTransform& m) const;
    // The search itself: halving steps from 1024, then a descent one height at a time if needed.
    void SearchFontHeight(platform::DeviceContext& dc);

    std::unique_ptr<ImageMeta> m_bubble;
    std::unique_ptr<QFont> m_font;
    int32_t m_fontHeight = 0;  // the cell height m_font was made for
    QString m_text;
    Rect m_textRect;

    // What the last search found, and what it was found for. The measured heights depend only on the
    // text, the rectangle and the font the layer makes (its face and weight never change), not on the
    // device context, so equal inputs always give the same height.
    struct FittedFont {
        QString text;
        Rect textRect;
        int32_t height = 0;
    };
    std::optional<FittedFont> m_fitted;
    // The text as last drawn: its lines and glyphs.
    std::unique_ptr<platform::TextLayout> m_layout;
};
