#include "tools/contentgen/Thumbnail.h"

#include <QPainter>

QImage Thumbnail::Make(const QImage& picture)
{
    const QSize size = picture.size().scaled(MaxWidth, MaxHeight, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    QImage thumbnail(size, QImage::Format_RGB32);
    thumbnail.fill(Qt::white);
    QPainter painter(&thumbnail);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(thumbnail.rect(),
                      picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return thumbnail;
}
