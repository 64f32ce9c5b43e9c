#include "engine/view/ViewSurface.h"

#include "platform/DeviceContext.h"

ViewSurface::ViewSurface() = default;

ViewSurface::~ViewSurface() = default;

bool ViewSurface::Acquire(QSize size)
{
    // A widget not yet laid out has no size; the surface keeps at least one pixel to draw on.
    size = size.expandedTo(QSize(1, 1));
    bool made = false;
    if (m_users == 0 && (m_image.isNull() || m_image.size() != size)) {
        m_dc.reset();
        m_image = QImage(size, QImage::Format_ARGB32_Premultiplied);
        m_image.fill(Qt::white);
        made = true;
    }
    if (!m_dc)
        m_dc = std::make_unique<platform::DeviceContext>(m_image);
    ++m_users;
    return made;
}

void ViewSurface::Release()
{
    if (m_users > 0)
        --m_users;
}
