// Untrusted input: the bytes are whatever file lies at the program's path.
#include "autorun/build_time.h"

namespace {

std::uint32_t LittleEndian32(const unsigned char* at)
{
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

constexpr std::size_t HeaderOffsetField = 0x3C;
constexpr std::size_t TimeStampField = 8;  // after the start of the signature
constexpr std::uint32_t PeSignature = 0x00004550;  // "PE\0\0"
// After the signature: the 20-byte file header, then the optional header,
// whose checksum lies at the same place in 32- and 64-bit images.
constexpr std::size_t ChecksumField = 4 + 20 + 64;

void PutLittleEndian32(unsigned char* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}

// The offset of the PE signature when the headers lie wholly in the bytes.
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

// 1601-01-01 to 1970-01-01 in 100-nanosecond intervals.
constexpr std::uint64_t UnixEpochAsFileTime = 116444736000000000ULL;

}  // namespace

bool ReadLinkTimeStamp(const unsigned char* bytes, std::size_t size, std::uint32_t& seconds)
{
    std::size_t headers = 0;
    if (!FindPeHeaders(bytes, size, headers))
        return false;
    seconds = LittleEndian32(bytes + headers + TimeStampField);
    return true;
}

bool WriteLinkTimeStamp(unsigned char* bytes, std::size_t size, std::uint32_t seconds)
{
    std::size_t headers = 0;
    if (!FindPeHeaders(bytes, size, headers))
        return false;
    PutLittleEndian32(bytes + headers + TimeStampField, seconds);
    // Most images carry no checksum (0), and the loader checks it only for
    // drivers; one that was set must still be right after the change.
    unsigned char* checksum = bytes + headers + ChecksumField;
    if (LittleEndian32(checksum) != 0)
        PutLittleEndian32(checksum, PeChecksum(bytes, size, headers + ChecksumField));
    return true;
}

std::uint32_t PeChecksum(const unsigned char* bytes, std::size_t size, std::size_t checksumAt)
{
    const auto byteAt = [&](std::size_t i) -> std::uint32_t {
        if (i >= size || (i >= checksumAt && i - checksumAt < 4))
            return 0;
        return bytes[i];
    };
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < size; i += 2) {
        sum += byteAt(i) | byteAt(i + 1) << 8;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint32_t>(sum + size);
}

std::uint64_t SecondsToFileTime(std::uint32_t seconds)
{
    return static_cast<std::uint64_t>(seconds) * 10000000ULL + UnixEpochAsFileTime;
}
