#pragma once

#include <QImage>
#include <QSize>
#include <memory>

namespace platform {
class DeviceContext;
}

// The editing view's window pixels, kept between paints. The program's drawing relies on window pixels
// that stay as drawn: a repaint of one rectangle leaves the rest, and a drag's XOR frame is erased by
// drawing it again. Qt widgets paint only in their paint event, so the view draws here, through one
// device context shared by every user at a time, and its paint event copies the surface to the screen.
class ViewSurface {
public:
    ViewSurface();
    ~ViewSurface();
    ViewSurface(const ViewSurface&) = delete;
    ViewSurface& operator=(const ViewSurface&) = delete;

    // The context, for one more user; the surface takes size first when nobody uses it (a drag keeps
    // the old size until it ends). Answers whether the surface was made anew: its pixels are then white.
    bool Acquire(QSize size);
    void Release();
    platform::DeviceContext& DC() { return *m_dc; }
    bool InUse() const { return m_users > 0; }

    const QImage& Image() const { return m_image; }

private:
    QImage m_image;
    std::unique_ptr<platform::DeviceContext> m_dc;
    int m_users = 0;
};
