#include "tools/contentgen/Thumbnail.h"

#include "platform/metafile/Metafile.h"

#include <QPainter>

QSize Thumbnail::Fit(QSize picture)
{
    return picture.scaled(MaxWidth, MaxHeight, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

QImage Thumbnail::Make(const QImage& picture)
{
    const QSize size = Fit(picture.size());
    QImage thumbnail(size, QImage::Format_RGB32);
    thumbnail.fill(Qt::white);
    QPainter painter(&thumbnail);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(thumbnail.rect(),
                      picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return thumbnail;
}

QImage Thumbnail::FromMetafile(const QByteArray& metafile)
{
    const std::optional<platform::Metafile> loaded = platform::Metafile::FromBytes(metafile);
    if (!loaded)
        return {};
    // The program sizes a bubble by its bounds, as the thumbnail does.
    const Rect bounds = loaded->Bounds();
    const QSize size = Fit(QSize(bounds.right - bounds.left, bounds.bottom - bounds.top));
    QImage thumbnail(size, QImage::Format_RGB32);
    thumbnail.fill(Qt::white);
    QPainter painter(&thumbnail);
    loaded->Play(painter, QRectF(QPointF(0, 0), size));
    return thumbnail;
}
