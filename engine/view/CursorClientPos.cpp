#include "engine/view/CursorClientPos.h"

#include <QCursor>
#include <QWidget>

PointF GetCursorClientPos(const QWidget& window)
{
    const QPointF client = window.mapFromGlobal(QPointF(QCursor::pos(window.screen())));
    return {static_cast<float>(client.x()), static_cast<float>(client.y())};
}
