#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>

class QPainter;

// The colour every test picture starts as.
constexpr QRgb kPaper = 0xFFC8C8C8;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;

// Loads the bytes (a failure is reported) and plays them onto target, or onto the whole picture
// when target is empty.
QImage Render(const QByteArray& bytes, QSize size, const QRectF& target = QRectF());

// Loads the bytes (a failure is reported) and plays them onto image over its whole area, the painter
// first set up by before, as a caller would.
QImage PlayOnto(QImage image, const QByteArray& bytes, const std::function<void(QPainter&)>& before = {});

// A transparent picture but for half-transparent pixels at points.
QImage TransparentPicture(QSize size, std::initializer_list<QPoint> halfTransparent);

// Every pixel of a premultiplied picture holds no colour channel above its alpha (raster operations
// on a picture that is not opaque can leave such pixels, which show as stray light).
testing::AssertionResult PixelsAreValid(const QImage& image);

// Every pixel of area is inside, every other pixel is outside.
testing::AssertionResult AreaIs(const QImage& image, const QRect& area, QRgb inside, QRgb outside = kPaper);
