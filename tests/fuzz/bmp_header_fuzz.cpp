// Arbitrary file bytes through menucheck's BMP header reader. A header it
// accepts must describe a picture whose pixels lie inside the file; one it
// refuses leaves the result alone and says why.
#include "disckit/menucheck/bmp_header.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

std::uint32_t Little32(const std::string& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Exactly the input, so a read past the end of the "file" is caught.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    BmpHeader header;
    header.width = -7;
    std::string problem;
    if (!ReadBmpHeader(bytes, header, problem)) {
        Check(header.width == -7 && !problem.empty());
        return 0;
    }
    Check(header.width > 0 && header.height > 0);
    const std::uint16_t bits = header.bitsPerPixel;
    Check(bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32);
    Check(header.compression <= 3);

    // Uncompressed rows, each padded to four bytes, all inside the file.
    const std::uint32_t pixelOffset = Little32(bytes, 10);
    Check(pixelOffset <= size);
    if (header.compression == 0 || header.compression == 3) {
        const std::uint64_t stride = (static_cast<std::uint64_t>(header.width) * bits + 31) / 32 * 4;
        Check(stride * static_cast<std::uint64_t>(header.height) <= size - pixelOffset);
    }
    return 0;
}
