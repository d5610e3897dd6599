#include "package/scramble.h"

#include <gtest/gtest.h>
#include <string>

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
    EXPECT_EQ(static_cast<unsigned char>(copy[3]) & 0x18,
              static_cast<unsigned char>(all[3]) & 0x18);
    Scramble(copy.data(), static_cast<int64_t>(copy.size()));
    EXPECT_EQ(copy, all);
}

// The byte rule, one byte at a time, as the layout states it.
uint8_t ReferenceScramble(uint8_t b, size_t i) {
    switch (i % 4) {
    case 0:
        return static_cast<uint8_t>(((b & 0xAA) >> 1) | ((b & 0x55) << 1));
    case 1:
        return static_cast<uint8_t>(((b & 0xCC) >> 2) | ((b & 0x33) << 2));
    case 2:
        return static_cast<uint8_t>(((b & 0xF0) >> 4) | ((b & 0x0F) << 4));
    default:
        return static_cast<uint8_t>((b & 0x18) | ((b & 0xE0) >> 5) | ((b & 0x07) << 5));
    }
}

TEST(Scramble, MatchesTheByteRuleForEveryLengthAndStart) {
    std::string data;
    uint32_t seed = 12345;
    for (int i = 0; i < 300; ++i) {
        seed = seed * 1103515245u + 12345u;
        data.push_back(static_cast<char>(seed >> 16));
    }
    // Every start offset (alignment) and length around the word size.
    for (size_t start = 0; start < 9; ++start) {
        for (size_t length :
             {size_t{1}, size_t{7}, size_t{8}, size_t{9}, size_t{17}, size_t{250}}) {
            std::string s = data;
            Scramble(s.data() + start, static_cast<int64_t>(length));
            for (size_t i = 0; i < s.size(); ++i) {
                const auto original = static_cast<uint8_t>(data[i]);
                const uint8_t expected = (i >= start && i < start + length)
                                             ? ReferenceScramble(original, i - start)
                                             : original;
                ASSERT_EQ(static_cast<uint8_t>(s[i]), expected)
                    << "start " << start << " length " << length << " index " << i;
            }
        }
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
