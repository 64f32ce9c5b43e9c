#include "WizardFixture.h"

#include "support/LayerPictures.h"

std::unique_ptr<LayerImage> PictureLayer(const QImage& straightArgb, int32_t flags)
{
    auto layer = PaintLayerFrom(straightArgb, flags | LayerFlagPaint);
    layer->flags = flags;
    layer->cropTopLeft = {0, 0};
    layer->cropBottomRight = {1, 1};
    layer->position = layer->centre;
    return layer;
}

QImage Filled(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

Layer* WizardTest::Add(std::unique_ptr<Layer> layer)
{
    Layer* added = layer.release();
    added->LinkBefore(&document.layers);
    return added;
}
