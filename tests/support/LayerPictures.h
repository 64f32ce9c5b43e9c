#pragma once

#include "support/Bytes.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class Image;
class LayerInfo;
class Layer;
class LayerImage;

// Layers built from tiny pictures, their stored records, and the pixels they draw.

// The "IMG" block of a project file holding image as a PNG.
QByteArray ImgBlock(const QImage& image);
// The record the layer stores (storing fails the test if it fails).
QByteArray Stored(Layer& layer);
// What a layer record's common part holds, as Layer::Store writes it.
Bytes CommonPart(int32_t flags, int32_t tag, const LayerInfo& info);

// A paintable layer whose picture is read from an "IMG" block (as from a project file: no enlargement).
std::unique_ptr<LayerImage> PaintLayerFrom(const QImage& straightArgb, int32_t flags);
// A layer with a stored picture (the way a project file brings one: no enlargement) and the flags,
// uncropped and placed so that its content pixels land on the same document pixels.
std::unique_ptr<LayerImage> PictureLayer(const QImage& straightArgb, int32_t flags);
// A w x h picture of one straight ARGB colour.
QImage Filled(int w, int h, QRgb colour);

// A layer with a stored picture (the way a project file brings one: no enlargement), pixels given
// straight as ARGB, uncropped, placed so that its content pixels land on the same document pixels.
std::unique_ptr<LayerImage> PictureLayer(const QImage& straightArgb, int32_t flags);
// A w x h picture of one straight ARGB colour.
QImage Filled(int w, int h, QRgb colour);

// Straight (not premultiplied) colours of a 32-bit ARGB picture, one value per pixel.
QImage Straight(int width, int height, const std::vector<QRgb>& pixels);

// The bytes blue, green, red (and alpha) of one pixel of an image.
struct Bgra {
    uint8_t b = 0, g = 0, r = 0, a = 0;
    friend bool operator==(const Bgra&, const Bgra&) = default;
};
Bgra PixelOf(Image& image, int32_t x, int32_t y);
Bgra PixelOf(const QImage& image, int x, int y);
// c x a with the program's rounding, the way masks premultiply colours.
uint8_t Premultiply(uint8_t c, uint8_t a);

// A white 24-bit picture with the layer drawn on it in advanced mode, clip and source the whole picture.
QImage DrawnLayer(Layer& layer, int width, int height, int32_t mode);
// What a 512 x 512 placeholder shows with this text: the text centred in (0, 246) - (512, 512).
QImage PlaceholderPicture(const QString& text);
// The bounds of the pixels darker than mid-grey (a placeholder's black words on a white or light
// picture); empty when there are none.
QRect DarkBounds(const QImage& image);
// A layer's frame (its whole content, as its selection frame shows it) in document pixels.
QRect DocumentFrame(const Layer& layer);
