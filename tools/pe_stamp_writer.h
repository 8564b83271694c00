// The release build stamps its own images: the PE time-date stamp written,
// and the image checksum kept right. Runs on the build machine only.
#pragma once

#include <cstddef>
#include <cstdint>

// Where the checksum lies, counted from the PE signature: after the 20-byte
// file header, at the same place in the optional headers of 32- and 64-bit
// images.
constexpr std::size_t PeChecksumField = 4 + 20 + 64;

// Writes `seconds` as the time-date stamp of the PE image in `bytes` and,
// when the image carries a checksum, recomputes that. False, with nothing
// written, when the bytes hold no PE image whose headers lie inside them.
bool WriteLinkTimeStamp(unsigned char* bytes, std::size_t size, std::uint32_t seconds);

// The PE image checksum of `size` bytes: 16-bit words added with end-around
// carry, the checksum field at `checksumAt` counted as zero, plus the size.
std::uint32_t PeChecksum(const unsigned char* bytes, std::size_t size, std::size_t checksumAt);
