#include "autorun/display_scale.h"

namespace {

// Floor division, so that the rounding below holds left of the window too,
// where a captured pointer reports negative coordinates. Long division bit
// by bit: a 64-bit `/` or `%` makes the 32-bit build link the compiler's
// runtime division, several times the size of this loop. The result is the
// quotient's low 32 bits, as a conversion of the 64-bit quotient gives them.
std::int32_t FloorDivide(std::int64_t value, std::uint32_t divisor)
{
    // For a negative value, floor(v / d) = -ceil(-v / d) = -floor((-v + d - 1) / d).
    const bool negative = value < 0;
    std::uint64_t dividend = static_cast<std::uint64_t>(value);
    if (negative)
        dividend = 0 - dividend + (divisor - 1);
    std::uint64_t quotient = 0;
    std::uint64_t remainder = 0;
    for (int bit = 63; bit >= 0; --bit) {
        remainder = (remainder << 1) | ((dividend >> bit) & 1u);
        if (remainder >= divisor) {
            remainder -= divisor;
            quotient |= std::uint64_t{1} << bit;
        }
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(negative ? 0 - quotient : quotient));
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
