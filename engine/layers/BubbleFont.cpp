#include "engine/layers/BubbleFont.h"

#include <QFontMetricsF>
#include <QHash>
#include <algorithm>
#include <cmath>

namespace {

constexpr int ReferencePixelSize = 1000;

QFont Matched(const QString& face, int32_t weight)
{
    QFont font;
    font.setFamilies({face, QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setKerning(false);  // the advances the layout is measured with are the glyphs' own
    return font;
}

double CellToEmRatio(const QFont& font)
{
    static QHash<QString, double> ratios;
    const QString key = font.key();
    if (const auto found = ratios.constFind(key); found != ratios.constEnd())
        return *found;
    QFont probe = font;
    probe.setPixelSize(ReferencePixelSize);
    const QFontMetricsF metrics(probe);
    double ratio = (metrics.ascent() + metrics.descent()) / ReferencePixelSize;
    if (!(ratio > 0.0) || !std::isfinite(ratio))
        ratio = 1.0;
    ratios.insert(key, ratio);
    return ratio;
}

} // namespace

QFont MakeCellHeightFont(const QString& face, int32_t cellHeight, int32_t weight)
{
    QFont font = Matched(face, weight);
    const double ratio = CellToEmRatio(font);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(std::max(cellHeight, 1) / ratio))));
    return font;
}
