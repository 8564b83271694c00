#include "autorun/display_scale.h"

namespace {

// Floor division, so that the rounding below holds left of the window too,
// where a captured pointer reports negative coordinates.
std::int32_t FloorDivide(std::int64_t value, std::int64_t divisor)
{
    const std::int64_t quotient = value / divisor;
    return static_cast<std::int32_t>((value % divisor != 0 && value < 0) ? quotient - 1 : quotient);
}

}  // namespace

std::int32_t ToPhysical(std::int32_t menuPixels, unsigned dpi)
{
    return FloorDivide(static_cast<std::int64_t>(menuPixels) * dpi + BaseDpi / 2, BaseDpi);
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
    // The last menu pixel x with ToPhysical(x) <= physical, that is with
    // x * dpi + 48 < 96 * (physical + 1).
    return FloorDivide(static_cast<std::int64_t>(physical) * BaseDpi + BaseDpi / 2 - 1, dpi);
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
