#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Crc32.h"

namespace {

uint32_t CrcOf(const std::string& text)
{
    return Crc32(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// Expected values from zlib's crc32.
struct KnownCrc {
    const char* what;
    std::string bytes;
    uint32_t crc;
};

TEST(Crc32, MatchesZlibOnKnownVectors)
{
    std::string pattern(100003, '\0');
    for (size_t i = 0; i < pattern.size(); ++i)
        pattern[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    const KnownCrc cases[] = {
        {"empty", "", 0x00000000u},
        {"one byte", "a", 0xE8B7BE43u},
        {"the check value", "123456789", 0xCBF43926u},
        {"a sentence", "The quick brown fox jumps over the lazy dog", 0x414FA339u},
        {"32 zero bytes", std::string(32, '\0'), 0x190A55ADu},
        {"32 bytes 0xFF", std::string(32, '\xFF'), 0xFF6CAB0Bu},
        {"100003 bytes of a pattern", pattern, 0xCD676DABu},
    };
    for (const KnownCrc& c : cases)
        EXPECT_EQ(CrcOf(c.bytes), c.crc) << c.what;
}

TEST(Crc32, ContinuingFromAnEarlierResultEqualsTheWhole)
{
    // Every split point: each start alignment and each tail length of the eight-byte steps.
    const std::string text = "The quick brown fox jumps over the lazy dog 0123456789";
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    for (size_t split = 0; split <= text.size(); ++split) {
        const uint32_t first = Crc32(bytes, split);
        EXPECT_EQ(Crc32(bytes + split, text.size() - split, first), CrcOf(text)) << "split at " << split;
    }
}

TEST(Crc32, AChangedByteOrTwoSwappedBytesChangeTheValue)
{
    std::string data(4096, 'x');
    const uint32_t original = CrcOf(data);
    for (size_t at : {size_t(0), size_t(7), size_t(2048), size_t(4095)}) {
        std::string changed = data;
        changed[at] ^= 0x01;
        EXPECT_NE(CrcOf(changed), original) << "bit flipped at " << at;
    }
    EXPECT_NE(CrcOf("ab"), CrcOf("ba"));
}

struct RecordCase {
    const char* what;
    std::vector<uint8_t> bytes;
    std::optional<uint32_t> value;
};

TEST(ReadLittleEndian32, TakesExactlyFourBytesLeastSignificantFirst)
{
    const RecordCase cases[] = {
        {"four bytes", {0x26, 0x39, 0xF4, 0xCB}, 0xCBF43926u},
        {"zero", {0, 0, 0, 0}, 0u},
        {"three bytes", {0x26, 0x39, 0xF4}, std::nullopt},
        {"five bytes", {0x26, 0x39, 0xF4, 0xCB, 0x00}, std::nullopt},
        {"none", {}, std::nullopt},
    };
    for (const RecordCase& c : cases)
        EXPECT_EQ(ReadLittleEndian32(c.bytes.data(), c.bytes.size()), c.value) << c.what;
    EXPECT_EQ(ReadLittleEndian32(nullptr, 4), std::nullopt);
}

} // namespace
