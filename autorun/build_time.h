// The link time of a program file, read from its PE file header.
#pragma once

#include <cstddef>
#include <cstdint>

// The bytes of the PE headers that the reader needs: the signature, the file
// header and the optional header of a 32-bit image.
constexpr std::size_t PeHeaderBytes = 4 + 20 + 224;

// Where the time-date stamp lies, counted from the PE signature.
constexpr std::size_t PeTimeStampField = 8;

// The offset of the PE signature in `bytes`; false when they are not an "MZ"
// file whose PE headers lie wholly inside the `size` bytes given. Reads
// nothing outside them.
bool FindPeHeaders(const unsigned char* bytes, std::size_t size, std::size_t& at);

// The time-date stamp (seconds since 1970-01-01 00:00:00 UTC) of the PE image
// held in `bytes`; false, as FindPeHeaders, when there is none.
bool ReadLinkTimeStamp(const unsigned char* bytes, std::size_t size, std::uint32_t& seconds);

// Seconds since 1970-01-01 UTC as a file time: 100-nanosecond intervals since
// 1601-01-01 UTC.
std::uint64_t SecondsToFileTime(std::uint32_t seconds);
