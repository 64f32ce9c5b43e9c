#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <gtest/gtest.h>

// The colour every test picture starts as.
constexpr QRgb kPaper = 0xFFC8C8C8;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;

// Loads the bytes (a failure is reported) and plays them onto target, or onto the whole picture
// when target is empty.
QImage Render(const QByteArray& bytes, QSize size, const QRectF& target = QRectF());

// Every pixel of a premultiplied picture holds no colour channel above its alpha (raster operations
// on a picture that is not opaque can leave such pixels, which show as stray light).
testing::AssertionResult PixelsAreValid(const QImage& image);

// Every pixel of area is inside, every other pixel is outside.
testing::AssertionResult AreaIs(const QImage& image, const QRect& area, QRgb inside, QRgb outside = kPaper);
