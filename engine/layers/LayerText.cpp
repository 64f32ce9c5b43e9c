#include "engine/layers/LayerText.h"

#include "engine/document/Document.h"
#include "engine/layers/BubbleFont.h"
#include "engine/layers/DrawMode.h"
#include "engine/layers/ImageMeta.h"
#include "engine/layers/LayerGeometry.h"
#include "platform/ArchiveReader.h"
#include "platform/ArchiveWriter.h"
#include "platform/DeviceContext.h"
#include "platform/TextLayout.h"

#include <QTransform>
#include <cmath>

namespace {

constexpr int32_t LargestFontHeight = 1024;  // the search starts here and moves by 512, 256, ... 1
constexpr int32_t FirstFontStep = 512;
constexpr uint32_t BubbleTextFormat =
    platform::TextFormat::Centre | platform::TextFormat::WordBreak | platform::TextFormat::EditControl;
constexpr uint8_t OpaqueAlpha = 255;
// How far a bubble's pixels may reach beyond its metafile's frame and its text rectangle: the
// smoothing of edges (bubble pixels, then document pixels).
constexpr int32_t BubbleBleed = 2;
constexpr int32_t DocumentBleed = 1;

bool Intersect(const Rect& a, const Rect& b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

} // namespace

LayerText::LayerText(const Rect& textRect, int32_t tag)
    : Layer(LayerFlagsBubble, tag), m_text(QStringLiteral("Place text here.")), m_textRect(textRect)
{
    const int32_t n = g_document ? g_document->NextLayerNumber(QStringLiteral("Text")) : 1;
    name = QStringLiteral("Text %1").arg(n);
}

LayerText::~LayerText() = default;

bool LayerText::LoadFile(const QString& path)
{
    m_bubble.reset();
    auto bubble = std::make_unique<ImageMeta>();
    if (!bubble->Load(path, false))
        return false;
    m_bubble = std::move(bubble);
    size = {static_cast<float>(m_bubble->width), static_cast<float>(m_bubble->height)};
    centre = {size.x / 2, size.y / 2};
    if (m_textRect.right == 0 || m_textRect.bottom == 0)
        m_textRect = {0, 0, m_bubble->width, m_bubble->height};
    return true;
}

bool LayerText::Load(platform::ArchiveReader& archive)
{
    const PointF stored = position;
    m_text = archive.ReadString();
    Init(path, number, kind, false);
    position = stored;
    return true;
}

bool LayerText::Store(platform::ArchiveWriter& archive)
{
    Layer::Store(archive);
    archive.WriteI32(m_textRect.left);
    archive.WriteI32(m_textRect.top);
    archive.WriteI32(m_textRect.right);
    archive.WriteI32(m_textRect.bottom);
    archive.WriteString(m_text);
    return true;
}

void LayerText::SetText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    RedrawAllViews();
}

QString LayerText::GetText() const
{
    return m_text;
}

Rect LayerText::DocumentBounds(const QTransform& m) const
{
    // The metafile plays onto its frame, and the text is clipped to its rectangle, which a project file
    // may place beyond the frame.
    const Rect frame{-BubbleBleed, -BubbleBleed, m_bubble->width + BubbleBleed, m_bubble->height + BubbleBleed};
    const Rect text{m_textRect.left - BubbleBleed, m_textRect.top - BubbleBleed, m_textRect.right + BubbleBleed,
                    m_textRect.bottom + BubbleBleed};
    Rect bounds = EmptyRect;
    TransformRectBounds(frame, m, bounds, false);
    TransformRectBounds(text, m, bounds, false);
    if (IsEmptyRect(bounds))
        return bounds;
    return {bounds.left - DocumentBleed, bounds.top - DocumentBleed, bounds.right + DocumentBleed,
            bounds.bottom + DocumentBleed};
}

void LayerText::Draw(platform::DeviceContext& dc, const Rect& clip, const Rect&, int32_t mode)
{
    // A bubble on its way or one that failed says so, as a picture layer does.
    if (pendingTask || LoadFailed()) {
        DrawPlaceholder(dc, mode);
        return;
    }
    // A zero or non-finite scale leaves nothing to see, and no font could fit it.
    if (!m_bubble || scale.x == 0.0f || scale.y == 0.0f || !std::isfinite(scale.x) || !std::isfinite(scale.y))
        return;
    // The pivot of a bubble is its centre field, not the crop's centre.
    QTransform m;
    AppendTranslate(m, -centre.x, -centre.y);
    AppendScale(m, scale.x, scale.y);
    RotateXForm(m, angle);
    AppendTranslate(m, position.x, position.y);
    // A bubble that does not reach the region being composed (a brush stroke's rectangle elsewhere)
    // costs nothing: its text is not even laid out.
    if (mode == ViewModeAllLayers && !Intersect(DocumentBounds(m), clip))
        return;
    dc.SetWorldTransform(m);
    m_bubble->Draw(ImageDrawCopy, dc, 0, 0, 0, 0, m_bubble->width, m_bubble->height, OpaqueAlpha);
    FitFont(dc);
    DrawText(0, dc);
}

void LayerText::CreateFont(int32_t height)
{
    m_font = std::make_unique<QFont>(MakeCellHeightFont(QStringLiteral("Arial"), height, FontWeightNormal));
    m_fontHeight = height;
}

int32_t LayerText::DrawText(uint32_t extraFlags, platform::DeviceContext& dc)
{
    const QFont previous = dc.State().font;
    if (m_font)
        dc.SetFont(*m_font);
    dc.SetTextColour(Qt::black);
    dc.SetBackgroundMode(platform::BackgroundMode::Transparent);
    Rect r = m_textRect;
    const uint32_t format = extraFlags | BubbleTextFormat;
    if (format & platform::TextFormat::CalcRect) {
        dc.DrawText(m_text, r, format);
    } else {
        // The lines and glyphs are kept while the text, the font and the rectangle stay as they were.
        const int width = r.right - r.left;
        const QFont& font = dc.State().font;
        if (!m_layout || !m_layout->IsFor(m_text, font, width, format))
            m_layout = std::make_unique<platform::TextLayout>(m_text, font, width, format);
        dc.DrawText(*m_layout, r, format);
    }
    dc.SetFont(previous);
    return r.bottom - r.top + 1;
}

void LayerText::FitFont(platform::DeviceContext& dc)
{
    // The search makes and measures ten or more fonts; a draw with the same text in the same rectangle
    // would end where the last search ended, so it makes that font at once.
    if (m_fitted && m_fitted->text == m_text && m_fitted->textRect == m_textRect) {
        if (!m_font || m_fontHeight != m_fitted->height)
            CreateFont(m_fitted->height);
        return;
    }
    SearchFontHeight(dc);
    m_fitted = FittedFont{m_text, m_textRect, m_fontHeight};
}

void LayerText::SearchFontHeight(platform::DeviceContext& dc)
{
    const int32_t available = m_textRect.bottom - m_textRect.top + 1;
    int32_t n = LargestFontHeight;
    int32_t measured = 0;
    for (int32_t step = FirstFontStep; step >= 1; step /= 2) {
        CreateFont(n);
        measured = DrawText(platform::TextFormat::CalcRect, dc);
        // A text exactly as high as the rectangle counts as too high here, but fits below.
        if (measured < available)
            n += step;
        else
            n -= step;
    }
    if (measured <= available)
        return;  // the font made last stays, not the one n now names
    while (n > 0) {
        CreateFont(n);
        --n;
        measured = DrawText(platform::TextFormat::CalcRect, dc);
        if (measured <= available)
            break;
    }
}
