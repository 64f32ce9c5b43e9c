#include "tools/artgen/ToolBarArt.h"

#include "platform/ResourceId.h"
#include "tools/artgen/Glyphs.h"

#include <QPainter>

namespace {

namespace id = platform::ResourceId;
using Glyph = Glyphs::Glyph;

// The buttons' pictures in strip order.
constexpr Glyph StripGlyphs[id::ToolBarPictureCount] = {
    Glyph::NextStep, Glyph::Undo,         Glyph::Redo,     Glyph::MoveResize, Glyph::Crop,
    Glyph::Rotate,   Glyph::Flip,         Glyph::ChangeColour, Glyph::EditText, Glyph::Paint,
    Glyph::Erase,    Glyph::MagicErase,   Glyph::NextStepHighlight,
};

constexpr double HotLightening = 0.22;  // of the way to white
constexpr int DisabledFloor = 150;     // the darkest grey of a disabled picture

QImage NormalStrip()
{
    const int size = id::ToolBarPictureSize;
    QImage strip(size * id::ToolBarPictureCount, size, QImage::Format_ARGB32);
    strip.fill(QColor::fromRgba(id::ToolBarKeyColour));
    QPainter painter(&strip);
    for (int i = 0; i < id::ToolBarPictureCount; ++i)
        Glyphs::Draw(painter, StripGlyphs[i], QRectF(i * size, 0, size, size));
    return strip;
}

// Every pixel but the key colour changed by the function.
template <class Change>
void ChangeDrawnPixels(QImage& strip, Change change)
{
    for (int y = 0; y < strip.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(strip.scanLine(y));
        for (int x = 0; x < strip.width(); ++x) {
            if (row[x] != id::ToolBarKeyColour)
                row[x] = change(row[x]);
        }
    }
}

int Lighter(int channel)
{
    return channel + static_cast<int>((255 - channel) * HotLightening + 0.5);
}

QImage HotStrip()
{
    QImage strip = NormalStrip();
    ChangeDrawnPixels(strip, [](QRgb c) { return qRgb(Lighter(qRed(c)), Lighter(qGreen(c)), Lighter(qBlue(c))); });
    return strip;
}

// Index 0 is the key colour; index v (1 to 255) the grey v.
QImage DisabledStrip()
{
    const QImage normal = NormalStrip();
    QImage strip(normal.size(), QImage::Format_Indexed8);
    QList<QRgb> palette(256);
    palette[0] = id::ToolBarKeyColour;
    for (int v = 1; v < 256; ++v)
        palette[v] = qRgb(v, v, v);
    strip.setColorTable(palette);
    for (int y = 0; y < normal.height(); ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(normal.constScanLine(y));
        uchar* target = strip.scanLine(y);
        for (int x = 0; x < normal.width(); ++x) {
            if (source[x] == id::ToolBarKeyColour) {
                target[x] = 0;
                continue;
            }
            const int grey = qGray(source[x]);
            target[x] = static_cast<uchar>(DisabledFloor + grey * (255 - DisabledFloor) / 255);
        }
    }
    return strip;
}

} // namespace

QImage ToolBarArt::Draw(Strip strip)
{
    switch (strip) {
    case Strip::Hot:
        return HotStrip();
    case Strip::Disabled:
        return DisabledStrip();
    case Strip::Normal:
        break;
    }
    return NormalStrip();
}
