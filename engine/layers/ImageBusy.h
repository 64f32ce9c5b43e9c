#pragma once

#include "engine/layers/Image.h"

// Marks an image busy while its pixels are read or written directly, and puts the mark back as it was.
class ImageBusy {
public:
    explicit ImageBusy(Image& image) : m_image(image), m_previous(image.busy) { image.busy = 1; }
    ~ImageBusy() { m_image.busy = m_previous; }
    ImageBusy(const ImageBusy&) = delete;
    ImageBusy& operator=(const ImageBusy&) = delete;

private:
    Image& m_image;
    uint8_t m_previous;
};
