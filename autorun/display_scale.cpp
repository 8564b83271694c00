#include "autorun/display_scale.h"

namespace {

// Floor division: the inverse below must also hold left of the window,
// where a captured pointer reports negative coordinates.
std::int64_t FloorDivide(std::int64_t value, std::int64_t divisor)
{
    const std::int64_t quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

}  // namespace

std::int32_t ToPhysical(std::int32_t menuPixels, unsigned dpi)
{
    const std::int64_t scaled = static_cast<std::int64_t>(menuPixels) * dpi;
    const std::int64_t half = BaseDpi / 2;
    return static_cast<std::int32_t>(scaled >= 0 ? (scaled + half) / BaseDpi : -((-scaled + half) / BaseDpi));
}

Rect ToPhysical(const Rect& rect, unsigned dpi)
{
    Rect result;
    result.left = ToPhysical(rect.left, dpi);
    result.top = ToPhysical(rect.top, dpi);
    result.right = ToPhysical(rect.right, dpi);
    result.bottom = ToPhysical(rect.bottom, dpi);
    return result;
}

std::int32_t ToMenuPixel(std::int32_t physical, unsigned dpi)
{
    // The last menu pixel whose scaled edge is not right of the point; the
    // estimate is off by at most one either way.
    auto pixel = static_cast<std::int32_t>(FloorDivide(static_cast<std::int64_t>(physical) * BaseDpi, dpi));
    while (ToPhysical(pixel + 1, dpi) <= physical)
        ++pixel;
    while (ToPhysical(pixel, dpi) > physical)
        --pixel;
    return pixel;
}

PictureChoice ChoosePicture(unsigned dpi, bool hasDouble)
{
    if (dpi == BaseDpi)
        return PictureChoice{PictureSource::Base, false};
    if (hasDouble)
        return PictureChoice{PictureSource::Double, dpi != DoubleDpi};
    return PictureChoice{PictureSource::Base, true};
}

unsigned EffectiveDpi(unsigned monitorDpi, bool optedIn)
{
    return optedIn && monitorDpi != 0 ? monitorDpi : BaseDpi;
}
