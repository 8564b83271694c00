#include "autorun/build_time.h"
#include "tools/pe_stamp_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

void Put32(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

// An "MZ" file of exactly `size` bytes whose header offset field says
// `offset`, with a PE signature and `stamp` there when they fit. The vector
// has exactly that size, so the sanitizer sees any read past the file's end.
std::vector<unsigned char> Image(std::size_t size, std::uint32_t offset, std::uint32_t stamp)
{
    std::vector<unsigned char> bytes(size, 0xCC);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    Put32(bytes, 0x3C, offset);
    const std::uint64_t at = offset;
    if (at + 4 <= size) {
        bytes[offset] = 'P';
        bytes[offset + 1] = 'E';
        bytes[offset + 2] = 0;
        bytes[offset + 3] = 0;
    }
    if (at + 12 <= size)
        Put32(bytes, offset + 8, stamp);
    return bytes;
}

bool Read(const std::vector<unsigned char>& bytes, std::uint32_t& seconds)
{
    return ReadLinkTimeStamp(bytes.data(), bytes.size(), seconds);
}

TEST(ReadLinkTimeStamp, ReadsTheFileHeaderStampAfterTheSignature)
{
    std::uint32_t seconds = 0;
    ASSERT_TRUE(Read(Image(0x80 + 512, 0x80, 0x12345678), seconds));
    EXPECT_EQ(seconds, 0x12345678u);

    seconds = 99;
    ASSERT_TRUE(Read(Image(0x200, 0x80, 0), seconds));
    EXPECT_EQ(seconds, 0u);
}

TEST(ReadLinkTimeStamp, HeadersMustLieWhollyInsideTheFile)
{
    std::uint32_t seconds = 7;
    // Exactly the 248 header bytes left: readable.
    EXPECT_TRUE(Read(Image(0x80 + PeHeaderBytes, 0x80, 42), seconds));
    EXPECT_EQ(seconds, 42u);

    seconds = 7;
    EXPECT_FALSE(Read(Image(0x80 + PeHeaderBytes - 1, 0x80, 42), seconds));  // 247 left
    EXPECT_FALSE(Read(Image(0x100, 0x100, 42), seconds));                    // at the end
    EXPECT_FALSE(Read(Image(0x100, 0x101, 42), seconds));                    // past it
    EXPECT_FALSE(Read(Image(0x100, 0x10000, 42), seconds));
    EXPECT_EQ(seconds, 7u);
}

TEST(ReadLinkTimeStamp, OffsetsThatWrapAroundAreRejected)
{
    std::uint32_t seconds = 7;
    // offset + 248 overflows 32 bits for each of these.
    for (std::uint32_t offset : {0xFFFFFFFFu, 0xFFFFFFF0u, 0xFFFFFF09u, 0x80000000u}) {
        SCOPED_TRACE(offset);
        EXPECT_FALSE(Read(Image(0x400, offset, 42), seconds));
    }
    EXPECT_EQ(seconds, 7u);
}

TEST(ReadLinkTimeStamp, NotAnMzFileOrNoPeSignature)
{
    std::uint32_t seconds = 7;
    std::vector<unsigned char> bytes = Image(0x200, 0x80, 42);
    bytes[0] = 'Z';
    bytes[1] = 'M';
    EXPECT_FALSE(Read(bytes, seconds));

    bytes = Image(0x200, 0x80, 42);
    bytes[0x83] = 1;  // "PE\0\1"
    EXPECT_FALSE(Read(bytes, seconds));
    bytes = Image(0x200, 0x80, 42);
    bytes[0x80] = 'N';  // a 16-bit "NE" image
    EXPECT_FALSE(Read(bytes, seconds));
    EXPECT_EQ(seconds, 7u);
}

TEST(ReadLinkTimeStamp, FilesTooShortForTheHeaderOffset)
{
    std::uint32_t seconds = 7;
    const unsigned char mz[] = {'M', 'Z'};
    EXPECT_FALSE(ReadLinkTimeStamp(mz, 0, seconds));
    EXPECT_FALSE(ReadLinkTimeStamp(mz, 1, seconds));
    EXPECT_FALSE(ReadLinkTimeStamp(mz, 2, seconds));
    std::vector<unsigned char> bytes(0x3F, 0);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    EXPECT_FALSE(Read(bytes, seconds));
    EXPECT_FALSE(ReadLinkTimeStamp(nullptr, 0, seconds));
    EXPECT_EQ(seconds, 7u);
}

TEST(WriteLinkTimeStamp, StampsOnlyAPeImage)
{
    std::vector<unsigned char> bytes = Image(0x80 + PeHeaderBytes, 0x80, 0x11111111);
    ASSERT_TRUE(WriteLinkTimeStamp(bytes.data(), bytes.size(), 0x5F5E1000));
    std::uint32_t seconds = 0;
    ASSERT_TRUE(Read(bytes, seconds));
    EXPECT_EQ(seconds, 0x5F5E1000u);

    std::vector<unsigned char> shortFile = Image(0x80 + PeHeaderBytes - 1, 0x80, 0x11111111);
    const std::vector<unsigned char> before = shortFile;
    EXPECT_FALSE(WriteLinkTimeStamp(shortFile.data(), shortFile.size(), 0));
    EXPECT_EQ(shortFile, before);
}

std::uint32_t StoredChecksum(const std::vector<unsigned char>& bytes)
{
    const std::size_t at = 0x80 + 88;
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

TEST(WriteLinkTimeStamp, AChecksumThatWasSetIsRecomputedAndAbsentOneStaysAbsent)
{
    std::vector<unsigned char> bytes = Image(0x301, 0x80, 1);
    for (std::size_t i = 0x80 + 12; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i * 7);
    bytes[0x80 + 88] = bytes[0x80 + 89] = bytes[0x80 + 90] = bytes[0x80 + 91] = 0;
    ASSERT_TRUE(WriteLinkTimeStamp(bytes.data(), bytes.size(), 2));
    EXPECT_EQ(StoredChecksum(bytes), 0u);

    bytes[0x80 + 88] = 1;
    ASSERT_TRUE(WriteLinkTimeStamp(bytes.data(), bytes.size(), 3));
    const std::uint32_t checksum = StoredChecksum(bytes);
    EXPECT_EQ(checksum, PeChecksum(bytes.data(), bytes.size(), 0x80 + 88));
    // The field itself does not count: stamping again gives the same value.
    ASSERT_TRUE(WriteLinkTimeStamp(bytes.data(), bytes.size(), 3));
    EXPECT_EQ(StoredChecksum(bytes), checksum);
    ASSERT_TRUE(WriteLinkTimeStamp(bytes.data(), bytes.size(), 4));
    EXPECT_NE(StoredChecksum(bytes), checksum);
}

TEST(PeChecksum, WordsWithEndAroundCarryThenTheSize)
{
    // 0xFFFF + 0xFFFF folds to 0xFFFF, + 2 folds to 2, + 6 bytes = 8.
    const unsigned char words[] = {0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x00};
    EXPECT_EQ(PeChecksum(words, sizeof(words), 100), 8u);
    // An odd last byte is the low half of a word; the field counts as zero.
    const unsigned char odd[] = {0x01, 0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0x05};
    EXPECT_EQ(PeChecksum(odd, sizeof(odd), 2), 1u + 5u + 7u);
}

// The file-time origin 1601-01-01 lies 369 years (89 of them leap years)
// before the Unix epoch.
TEST(SecondsToFileTime, CountsHundredNanosecondsSince1601)
{
    constexpr std::uint64_t day = 86400ULL * 10000000ULL;
    EXPECT_EQ(SecondsToFileTime(0), (369ULL * 365 + 89) * day);
    EXPECT_EQ(SecondsToFileTime(86400), (369ULL * 365 + 90) * day);
    // The largest stamp (2106-02-07 06:28:15) does not overflow.
    EXPECT_EQ(SecondsToFileTime(0xFFFFFFFFu), 0xFFFFFFFFULL * 10000000ULL + SecondsToFileTime(0));
}

}  // namespace
