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

TEST(Scramble, NothingForEmptyOrNegativeLength) {
    std::string s = "ab";
    Scramble(s.data(), 0);
    Scramble(s.data(), -1);
    Scramble(nullptr, 5);
    EXPECT_EQ(s, "ab");
}

} // namespace
} // namespace vuni
