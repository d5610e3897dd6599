#include <gtest/gtest.h>

#include <string>

#include "package/scramble.h"

namespace vuni {
namespace {

TEST(Scramble, DocumentedExampleAndSelfInverse) {
    std::string s = "abcd";
    Scramble(s.data(), 4);
    EXPECT_EQ(s, std::string("\x92\x98\x36\x83", 4));
    Scramble(s.data(), 4);
    EXPECT_EQ(s, "abcd");
}

TEST(Scramble, EveryByteAtEveryPositionRoundTrips) {
    std::string all;
    for (int i = 0; i < 256 * 4 + 3; ++i) {
        all.push_back(static_cast<char>(i * 7));
    }
    std::string copy = all;
    Scramble(copy.data(), static_cast<int64_t>(copy.size()));
    EXPECT_NE(copy, all);
    // Bits 3 and 4 stay in place at positions 3 mod 4.
    EXPECT_EQ(static_cast<unsigned char>(copy[3]) & 0x18, static_cast<unsigned char>(all[3]) & 0x18);
    Scramble(copy.data(), static_cast<int64_t>(copy.size()));
    EXPECT_EQ(copy, all);
}

TEST(Scramble, LongBuffersFollowThePositionFromTheirOwnStartAtAnyAddress) {
    std::string block = "abcd";
    for (int i = 0; i < 10; ++i) {
        block += "abcd";
    }
    block += "abc";
    std::string expected;
    for (int i = 0; i < 11; ++i) {
        expected += std::string("\x92\x98\x36\x83", 4);
    }
    expected += std::string("\x92\x98\x36", 3);
    for (size_t shift = 0; shift < 8; ++shift) {
        std::string buffer = std::string(shift, 'x') + block;
        Scramble(buffer.data() + shift, static_cast<int64_t>(block.size()));
        EXPECT_EQ(buffer.substr(shift), expected) << shift;
        EXPECT_EQ(buffer.substr(0, shift), std::string(shift, 'x'));
    }
}

TEST(Scramble, NothingForEmptyOrNegativeLength) {
    std::string s = "ab";
    Scramble(s.data(), 0);
    Scramble(s.data(), -1);
    Scramble(nullptr, 5);
    EXPECT_EQ(s, "ab");
}

} // namespace
} // namespace vuni
