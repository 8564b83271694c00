#include "tools/pe_stamp_writer.h"

#include "autorun/build_time.h"

namespace {

std::uint32_t GetLittleEndian32(const unsigned char* at)
{
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

void PutLittleEndian32(unsigned char* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

bool WriteLinkTimeStamp(unsigned char* bytes, std::size_t size, std::uint32_t seconds)
{
    std::size_t headers = 0;
    if (!FindPeHeaders(bytes, size, headers))
        return false;
    PutLittleEndian32(bytes + headers + PeTimeStampField, seconds);
    // Most images carry no checksum (0), and the loader checks it only for
    // drivers; one that was set must still be right after the change.
    unsigned char* checksum = bytes + headers + PeChecksumField;
    if (GetLittleEndian32(checksum) != 0)
        PutLittleEndian32(checksum, PeChecksum(bytes, size, headers + PeChecksumField));
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
