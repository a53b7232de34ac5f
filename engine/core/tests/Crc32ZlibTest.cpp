// Our CRC-32 against zlib's, which the package builder uses to record the package's CRC.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <vector>

#include "Crc32.h"

namespace {

TEST(Crc32, AgreesWithZlibOnRandomInputOfEveryShape)
{
    std::mt19937 random(20260421);
    for (int round = 0; round < 2000; ++round) {
        std::vector<uint8_t> bytes(random() % 5000);
        for (uint8_t& byte : bytes)
            byte = static_cast<uint8_t>(random());
        const size_t split = bytes.empty() ? 0 : random() % bytes.size();
        const uLong expected = crc32(crc32(0, nullptr, 0), bytes.data(), static_cast<uInt>(bytes.size()));
        ASSERT_EQ(Crc32(bytes.data(), bytes.size()), expected) << bytes.size() << " bytes";
        ASSERT_EQ(Crc32(bytes.data() + split, bytes.size() - split, Crc32(bytes.data(), split)), expected)
            << "in two pieces split at " << split;
    }
}

} // namespace
