#pragma once

#include <QFont>
#include <QString>
#include <cstdint>

// Fonts are sized by their cell height: ascent plus descent, in pixels, the height of a line of text. Qt
// sizes fonts by the em, so the cell height is divided by the face's ratio of cell height to em (about
// 1.117 for the sans faces), measured once per face, and rounded to whole pixels.
//
// Faces are matched by family name with a sans-serif style hint. "Arial" resolves through fontconfig's
// metric aliases to Liberation Sans (Debian fonts-liberation2, installed by scripts/setup), whose
// advances and vertical metrics equal Arial's, so text wraps and fits the same on every machine; the
// family list names it as well in case the alias is missing.
QFont MakeCellHeightFont(const QString& face, int32_t cellHeight, int32_t weight);

inline constexpr int32_t FontWeightNormal = 400;
