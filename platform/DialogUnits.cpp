#include "platform/DialogUnits.h"

namespace platform {

namespace {

// value x numerator / denominator with halves rounded away from zero, in 64 bits.
int32_t Scale(int32_t value, int32_t numerator, int32_t denominator)
{
    const int64_t product = static_cast<int64_t>(value) * numerator;
    const int64_t half = denominator / 2;
    const int64_t rounded = product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
    return static_cast<int32_t>(rounded);
}

} // namespace

int32_t DialogUnits::ToPixelsX(int32_t units)
{
    return Scale(units, BaseUnitX, UnitsPerBaseX);
}

int32_t DialogUnits::ToPixelsY(int32_t units)
{
    return Scale(units, BaseUnitY, UnitsPerBaseY);
}

QSize DialogUnits::ToPixels(QSize units)
{
    return {ToPixelsX(units.width()), ToPixelsY(units.height())};
}

QRect DialogUnits::ToPixels(QRect units)
{
    return {ToPixelsX(units.x()), ToPixelsY(units.y()), ToPixelsX(units.width()), ToPixelsY(units.height())};
}

} // namespace platform
