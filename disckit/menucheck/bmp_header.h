// The header of a BMP file, as far as the menu checker needs it: is this a
// bitmap that Windows' bitmap loader takes, and how large is it.
#pragma once

#include <cstdint>
#include <string>

struct BmpHeader {
    std::int32_t width = 0;
    std::int32_t height = 0;  // always positive; topDown says which way rows run
    std::uint16_t bitsPerPixel = 0;
    std::uint32_t compression = 0;
    bool topDown = false;
};

// Reads the file header and the bitmap header from the bytes of a .bmp file.
// The bytes are untrusted: every read is bounds-checked. On failure returns
// false with a short reason in `problem` and leaves `out` unchanged.
bool ReadBmpHeader(const std::string& bytes, BmpHeader& out, std::string& problem);
