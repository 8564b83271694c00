// The link time of a program file, read from its PE file header.
#pragma once

#include <cstddef>
#include <cstdint>

// The bytes of the PE headers that the reader needs: the signature, the file
// header and the optional header of a 32-bit image.
constexpr std::size_t PeHeaderBytes = 4 + 20 + 224;

// The time-date stamp (seconds since 1970-01-01 00:00:00 UTC) of the PE image
// held in `bytes`; false when they are not an "MZ" file whose PE headers lie
// wholly inside the `size` bytes given. Reads nothing outside them.
bool ReadLinkTimeStamp(const unsigned char* bytes, std::size_t size, std::uint32_t& seconds);

// Seconds since 1970-01-01 UTC as a file time: 100-nanosecond intervals since
// 1601-01-01 UTC.
std::uint64_t SecondsToFileTime(std::uint32_t seconds);

// The release build stamps its own images: writes `seconds` as the time-date
// stamp of the PE image in `bytes` and, when the image carries a checksum,
// recomputes that. False, with nothing written, when the bytes hold no PE
// image whose headers lie inside them.
bool WriteLinkTimeStamp(unsigned char* bytes, std::size_t size, std::uint32_t seconds);

// The PE image checksum of `size` bytes: 16-bit words added with end-around
// carry, the checksum field at `checksumAt` counted as zero, plus the size.
std::uint32_t PeChecksum(const unsigned char* bytes, std::size_t size, std::size_t checksumAt);
