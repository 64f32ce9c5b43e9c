#pragma once

#include "engine/layers/Image.h"

// An image's device context for one scope: GetDC on construction, ReleaseDC at the end.
class ImageDC {
public:
    explicit ImageDC(Image& image) : m_image(image), m_dc(image.GetDC()) {}
    ~ImageDC()
    {
        if (m_dc)
            m_image.ReleaseDC();
    }
    ImageDC(const ImageDC&) = delete;
    ImageDC& operator=(const ImageDC&) = delete;

    explicit operator bool() const { return m_dc != nullptr; }
    platform::DeviceContext* get() const { return m_dc; }
    platform::DeviceContext* operator->() const { return m_dc; }
    platform::DeviceContext& operator*() const { return *m_dc; }

private:
    Image& m_image;
    platform::DeviceContext* m_dc;
};
