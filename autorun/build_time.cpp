// Untrusted input: the bytes are whatever file lies at the program's path.
#include "autorun/build_time.h"

namespace {

std::uint32_t LittleEndian32(const unsigned char* at)
{
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

constexpr std::size_t HeaderOffsetField = 0x3C;
constexpr std::uint32_t PeSignature = 0x00004550;  // "PE\0\0"

// 1601-01-01 to 1970-01-01 in 100-nanosecond intervals.
constexpr std::uint64_t UnixEpochAsFileTime = 116444736000000000ULL;

}  // namespace

bool FindPeHeaders(const unsigned char* bytes, std::size_t size, std::size_t& at)
{
    if (bytes == nullptr || size < HeaderOffsetField + 4 || bytes[0] != 'M' || bytes[1] != 'Z')
        return false;
    // Compared as a remaining length, so an offset near the top of the range
    // cannot wrap around into a small one.
    const std::uint32_t offset = LittleEndian32(bytes + HeaderOffsetField);
    if (offset > size || size - offset < PeHeaderBytes)
        return false;
    if (LittleEndian32(bytes + offset) != PeSignature)
        return false;
    at = offset;
    return true;
}

bool ReadLinkTimeStamp(const unsigned char* bytes, std::size_t size, std::uint32_t& seconds)
{
    std::size_t headers = 0;
    if (!FindPeHeaders(bytes, size, headers))
        return false;
    seconds = LittleEndian32(bytes + headers + PeTimeStampField);
    return true;
}

std::uint64_t SecondsToFileTime(std::uint32_t seconds)
{
    return static_cast<std::uint64_t>(seconds) * 10000000ULL + UnixEpochAsFileTime;
}
