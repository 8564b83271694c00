// Arbitrary file contents through the PE time-stamp reader. The input is
// copied into a buffer of exactly its size, so any read past the end of the
// "file" is caught by the sanitizer.
#include "autorun/build_time.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<unsigned char> file(data, data + size);
    std::uint32_t seconds = 0;
    if (!ReadLinkTimeStamp(file.data(), file.size(), seconds))
        return 0;
    // A success means the signature and the whole header block lay inside.
    std::uint32_t offset = 0;
    std::memcpy(&offset, file.data() + 0x3C, 4);  // the fuzz build is little-endian
    if (file[0] != 'M' || file[1] != 'Z' || offset > size || size - offset < PeHeaderBytes ||
        std::memcmp(file.data() + offset, "PE\0\0", 4) != 0 || std::memcmp(&seconds, file.data() + offset + 8, 4) != 0)
        std::abort();
    return 0;
}
