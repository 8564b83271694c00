// Reads BMP headers from untrusted file bytes: sizes are checked before every
// read, and all size arithmetic is done in 64 bits.
#include "disckit/menucheck/bmp_header.h"

#include <cstddef>
#include <limits>

namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t InfoHeaderSize = 40;

// The compressions that the platform's bitmap loader draws from a BITMAP
// resource; JPEG and PNG inside a BMP are for printers only.
constexpr std::uint32_t BiRgb = 0;
constexpr std::uint32_t BiRle8 = 1;
constexpr std::uint32_t BiRle4 = 2;
constexpr std::uint32_t BiBitfields = 3;

std::uint16_t Read16(const std::string& bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1])
                                                                                  << 8);
}

std::uint32_t Read32(const std::string& bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(Read16(bytes, at)) | static_cast<std::uint32_t>(Read16(bytes, at + 2)) << 16;
}

bool Fail(std::string& problem, const char* reason)
{
    problem = reason;
    return false;
}

bool BitsPerPixelKnown(std::uint16_t bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

bool ReadBmpHeader(const std::string& bytes, BmpHeader& out, std::string& problem)
{
    if (bytes.size() < FileHeaderSize + 4)
        return Fail(problem, "too short for a BMP file");
    if (bytes[0] != 'B' || bytes[1] != 'M')
        return Fail(problem, "not a BMP file (no \"BM\" at its start)");
    const std::uint32_t pixelOffset = Read32(bytes, 10);
    const std::uint32_t headerSize = Read32(bytes, FileHeaderSize);
    if (headerSize != CoreHeaderSize && headerSize < InfoHeaderSize)
        return Fail(problem, "unknown bitmap header size");
    if (headerSize > bytes.size() - FileHeaderSize)
        return Fail(problem, "bitmap header cut short");

    BmpHeader header;
    std::int64_t height = 0;
    std::uint16_t planes = 0;
    const std::size_t at = FileHeaderSize;
    if (headerSize == CoreHeaderSize) {
        header.width = Read16(bytes, at + 4);
        height = Read16(bytes, at + 6);
        planes = Read16(bytes, at + 8);
        header.bitsPerPixel = Read16(bytes, at + 10);
    } else {
        header.width = static_cast<std::int32_t>(Read32(bytes, at + 4));
        height = static_cast<std::int32_t>(Read32(bytes, at + 8));
        planes = Read16(bytes, at + 12);
        header.bitsPerPixel = Read16(bytes, at + 14);
        header.compression = Read32(bytes, at + 16);
    }
    if (header.width <= 0 || height == 0 || height == std::numeric_limits<std::int32_t>::min())
        return Fail(problem, "width or height is zero or negative");
    header.topDown = height < 0;
    header.height = static_cast<std::int32_t>(height < 0 ? -height : height);
    if (planes != 1)
        return Fail(problem, "plane count is not 1");
    if (!BitsPerPixelKnown(header.bitsPerPixel))
        return Fail(problem, "unsupported bits per pixel");

    const std::uint32_t c = header.compression;
    const bool rle = (c == BiRle8 && header.bitsPerPixel == 8) || (c == BiRle4 && header.bitsPerPixel == 4);
    const bool fields = c == BiBitfields && (header.bitsPerPixel == 16 || header.bitsPerPixel == 32);
    if (c != BiRgb && !rle && !fields)
        return Fail(problem, "unsupported compression");
    if (rle && header.topDown)
        return Fail(problem, "a compressed bitmap cannot be top-down");

    if (pixelOffset < FileHeaderSize + static_cast<std::uint64_t>(headerSize) || pixelOffset > bytes.size())
        return Fail(problem, "pixel data offset outside the file");
    if (!rle) {
        const std::uint64_t stride = (static_cast<std::uint64_t>(header.width) * header.bitsPerPixel + 31) / 32 * 4;
        const std::uint64_t pixelBytes = stride * static_cast<std::uint64_t>(header.height);
        if (pixelBytes > bytes.size() - pixelOffset)
            return Fail(problem, "pixel data cut short");
    }
    out = header;
    return true;
}
