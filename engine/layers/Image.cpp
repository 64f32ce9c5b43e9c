#include "engine/layers/Image.h"

Image::~Image() = default;

bool Image::Create(int32_t, int32_t, int32_t, bool)
{
    return false;
}

std::unique_ptr<Image> Image::Clone(int32_t, bool)
{
    return nullptr;
}

void Image::ApplyMask(const uint8_t*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {}

void Image::PremultiplyFrom(Image&, const Rect&) {}

platform::DeviceContext* Image::GetDC()
{
    return nullptr;
}

void Image::ReleaseDC() {}

uint8_t* Image::GetBits()
{
    return nullptr;
}
