// pe_timestamp FILE          stamp FILE with SOURCE_DATE_EPOCH, when that is set
// pe_timestamp --print FILE  print its stamp, stored and recomputed checksum
//
// Runs on the build machine after each link of a Windows program, so that a
// release rebuilt with the same SOURCE_DATE_EPOCH gives the same bytes
// whichever linker wrote the image.
#include "autorun/build_time.h"
#include "tools/pe_stamp_writer.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

bool ReadFile(const char* path, std::vector<unsigned char>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open())
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return in.good() || in.eof();
}

bool WriteFile(const char* path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return out.good();
}

// SOURCE_DATE_EPOCH is a decimal count of seconds; the PE field holds 32 bits.
bool ParseEpoch(const char* text, std::uint32_t& seconds)
{
    if (*text < '0' || *text > '9')
        return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || value > 0xFFFFFFFFULL)
        return false;
    seconds = static_cast<std::uint32_t>(value);
    return true;
}

std::uint32_t Field32(const std::vector<unsigned char>& bytes, std::size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

int Print(const char* path)
{
    std::vector<unsigned char> bytes;
    std::uint32_t stamp = 0;
    if (!ReadFile(path, bytes) || !ReadLinkTimeStamp(bytes.data(), bytes.size(), stamp)) {
        std::fprintf(stderr, "pe_timestamp: %s: no readable PE image\n", path);
        return 1;
    }
    const std::size_t checksumAt = Field32(bytes, 0x3C) + PeChecksumField;
    std::printf("stamp %u checksum %08x computed %08x\n", static_cast<unsigned>(stamp),
                static_cast<unsigned>(Field32(bytes, checksumAt)),
                static_cast<unsigned>(PeChecksum(bytes.data(), bytes.size(), checksumAt)));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--print") == 0)
        return Print(argv[2]);
    if (argc != 2) {
        std::fprintf(stderr, "usage: pe_timestamp [--print] FILE\n");
        return 2;
    }
    const char* path = argv[1];
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    if (epoch == nullptr || *epoch == '\0')
        return 0;  // an ordinary build keeps the link time the linker wrote
    std::uint32_t seconds = 0;
    if (!ParseEpoch(epoch, seconds)) {
        std::fprintf(stderr, "pe_timestamp: SOURCE_DATE_EPOCH \"%s\" is not a count of seconds up to 4294967295\n",
                     epoch);
        return 1;
    }
    std::vector<unsigned char> bytes;
    if (!ReadFile(path, bytes) || !WriteLinkTimeStamp(bytes.data(), bytes.size(), seconds) || !WriteFile(path, bytes)) {
        std::fprintf(stderr, "pe_timestamp: %s: cannot stamp this file\n", path);
        return 1;
    }
    return 0;
}
