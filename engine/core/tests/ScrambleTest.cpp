#include <gtest/gtest.h>

#include <string>

#include "Scramble.h"

namespace {

std::string Scrambled(std::string bytes)
{
    ScrambleBytes(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
    return bytes;
}

std::string Unscrambled(std::string bytes)
{
    UnscrambleBytes(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
    return bytes;
}

TEST(Scramble, AbcScramblesToTheKnownBytes)
{
    EXPECT_EQ(Scrambled("abc"), std::string("\x3D\x76\xE4"));
    EXPECT_EQ(Unscrambled("\x3D\x76\xE4"), "abc");
}

TEST(Scramble, UnscramblingGivesBackEveryLengthFromZeroToThirty)
{
    for (std::size_t length = 0; length <= 30; ++length) {
        std::string bytes;
        for (std::size_t i = 0; i < length; ++i)
            bytes.push_back(static_cast<char>(i * 37 + 200));
        std::string scrambled = Scrambled(bytes);
        if (length > 0) {
            EXPECT_NE(scrambled, bytes) << "length " << length;
        }
        EXPECT_EQ(Unscrambled(scrambled), bytes) << "length " << length;
    }
}

TEST(Scramble, RotationRepeatsEverySevenBytes)
{
    std::string same(14, 'x');
    std::string scrambled = Scrambled(same);
    EXPECT_EQ(scrambled.substr(0, 7), scrambled.substr(7, 7));
    EXPECT_NE(scrambled[0], scrambled[1]);
}

TEST(Scramble, NoBufferOrAZeroLengthTouchesNothing)
{
    ScrambleBytes(nullptr, 10);
    UnscrambleBytes(nullptr, 10);
    std::string bytes = "abc";
    ScrambleBytes(reinterpret_cast<unsigned char*>(bytes.data()), 0);
    UnscrambleBytes(reinterpret_cast<unsigned char*>(bytes.data()), 0);
    EXPECT_EQ(bytes, "abc");
}

} // namespace
