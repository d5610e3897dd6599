// The decoder against the format vectors, hand-made streams and damaged blocks.
#include "jcalg1_test_util.h"
#include "package/jcalg1_format.h"

#include <gtest/gtest.h>
#include <random>

namespace vuni::testing {
namespace {

TEST(Jcalg1Decode, ReproducesEveryVector) {
    for (const std::string& name : Jcalg1VectorNames()) {
        SCOPED_TRACE(name);
        const std::string block = Jcalg1Vector(name, ".jc");
        const std::string expected = Jcalg1Vector(name, ".plain");
        std::string plain;
        ASSERT_TRUE(DecodeTo(block, expected.size(), plain));
        EXPECT_EQ(plain, expected);
        EXPECT_EQ(jcalg1::LoadLe32(Bytes(block) + 6) == 0
                      ? 0u
                      : jcalg1::Checksum(Bytes(plain), plain.size()),
                  jcalg1::LoadLe32(Bytes(block) + 6));
    }
}

TEST(Jcalg1Decode, ChecksumRule) {
    const std::string abcd = "ABCD";
    const std::string abcde = "ABCDE";
    EXPECT_EQ(jcalg1::Checksum(Bytes(abcd), 4), 0xCCC5C6C2u);
    EXPECT_EQ(jcalg1::Checksum(Bytes(abcde), 5), 0x98828C81u);
    EXPECT_EQ(jcalg1::Checksum(Bytes(abcd), 3), 0u);
}

TEST(Jcalg1Decode, RejectsDamagedHeader) {
    const std::string block = Jcalg1Vector("mary_lamb_w1m", ".jc");
    std::string plain;
    ASSERT_TRUE(DecodeTo(block, 210, plain));
    EXPECT_FALSE(DecodeTo(block, 209, plain)); // header size differs from the expected size
    EXPECT_FALSE(DecodeTo(block, 211, plain));
    for (size_t i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        std::string damaged = block;
        damaged[i] = static_cast<char>(damaged[i] ^ 0x01);
        EXPECT_FALSE(DecodeTo(damaged, 210, plain));
    }
    // A header whose size field agrees but whose stream makes fewer bytes.
    std::string longer = block;
    longer[2] = static_cast<char>(211);
    EXPECT_FALSE(DecodeTo(longer, 211, plain));
    EXPECT_EQ(Jcalg1Decode(Bytes(block), 9, nullptr, 0), 0u);
    EXPECT_EQ(Jcalg1Decode(nullptr, 0, nullptr, 0), 0u);
}

TEST(Jcalg1Decode, ChecksumZeroSkipsTheCheck) {
    std::string block = Jcalg1Vector("text_random_mixed_13500", ".jc");
    const std::string expected = Jcalg1Vector("text_random_mixed_13500", ".plain");
    for (size_t i = 6; i < 10; ++i) {
        block[i] = 0;
    }
    std::string plain;
    ASSERT_TRUE(DecodeTo(block, expected.size(), plain));
    EXPECT_EQ(plain, expected);
}

TEST(Jcalg1Decode, RejectsEveryTruncation) {
    for (const char* name :
         {"kabopan_teststring", "binary_mix_3000", "zeros_4096", "synthetic_alltokens_seed107"}) {
        SCOPED_TRACE(name);
        const std::string block = Jcalg1Vector(name, ".jc");
        const size_t size = Jcalg1Vector(name, ".plain").size();
        std::string plain;
        for (size_t cut = 0; cut < block.size(); ++cut) {
            EXPECT_FALSE(DecodeTo(block.substr(0, cut), size, plain)) << cut;
        }
        EXPECT_TRUE(DecodeTo(block + "trailing", size, plain)); // nothing after the end is read
    }
}

TEST(Jcalg1Decode, RandomDamageNeverEscapesTheBuffers) {
    // Under the sanitizers this checks bounds; everywhere it checks that a damaged block is
    // only accepted when its output matches the stored checksum.
    std::mt19937 rng(7);
    for (const char* name : {"kabopan_teststring", "text_random_mixed_13500",
                             "synthetic_alltokens_seed113", "synthetic_rawblocks_far_base10"}) {
        const std::string block = Jcalg1Vector(name, ".jc");
        const std::string expected = Jcalg1Vector(name, ".plain");
        std::string plain;
        for (int round = 0; round < 300; ++round) {
            std::string damaged = block;
            const size_t at = 10 + rng() % (block.size() - 10);
            damaged[at] = static_cast<char>(damaged[at] ^ (1 << (rng() % 8)));
            if (DecodeTo(damaged, expected.size(), plain) &&
                jcalg1::LoadLe32(Bytes(block) + 6) != 0) {
                // The checksum is weak (two equal flips can cancel), but what is accepted
                // must at least carry the stored checksum.
                EXPECT_EQ(jcalg1::Checksum(Bytes(plain), plain.size()),
                          jcalg1::LoadLe32(Bytes(block) + 6))
                    << name << " byte " << at;
            }
        }
    }
}

// Streams made by hand, each checked to decode before it is spoilt.
TEST(Jcalg1Decode, HandMadeTokens) {
    StreamWriter s;
    s.LiteralSize7(0xF0); // base with wrap-around: field 0x20 gives 0x10
    s.Literal(0x20, 7);
    s.Literal(0x7F, 7); // 0x6F
    s.LiteralSize8();
    s.Bits(0b001'0001, 7); // zero byte
    s.SameIndex(3);        // last index starts at 1
    s.Bits(0b001'0100, 7); // one byte from distance 3
    s.ShortMatch(5, 4);
    s.SetIndexBase(3, 2);    // 6-bit field
    s.Phrase(0, 3, 2, 2);    // index 3 (+4): 6 bytes
    s.SameIndex(2);          // still index 3
    s.Bits(0b001'0000'1, 8); // raw blocks
    for (int i = 0; i < 512; ++i) {
        s.Bits(static_cast<uint32_t>(i * 7), 8);
        if (i == 255) {
            s.Bits(1, 1);
        }
    }
    s.Bits(0, 1);
    s.End();
    std::string expected = "\x10\x6F";
    auto copy = [&expected](size_t dist, size_t len) {
        for (size_t i = 0; i < len; ++i) {
            expected += expected[expected.size() - dist];
        }
    };
    expected += std::string(4, '\0');
    copy(3, 1);
    copy(5, 4);
    copy(3, 8);
    for (int i = 0; i < 512; ++i) {
        expected += static_cast<char>(i * 7);
    }
    const std::string block = s.Block(static_cast<uint32_t>(expected.size()),
                                      jcalg1::Checksum(Bytes(expected), expected.size()));
    std::string plain;
    ASSERT_TRUE(DecodeTo(block, expected.size(), plain));
    EXPECT_EQ(plain, expected);
}

std::string OneStream(void (*body)(StreamWriter&), bool end = true) {
    StreamWriter s;
    s.LiteralSize8();
    s.Literal('a');
    s.Literal('b');
    body(s);
    if (end) {
        s.End();
    }
    return s.Block(8);
}

TEST(Jcalg1Decode, RejectsUnsoundStreams) {
    std::string plain;
    // The sound reference: "ab" then a 6-byte copy.
    ASSERT_TRUE(DecodeTo(OneStream([](StreamWriter& s) { s.ShortMatch(2, 4), s.ShortMatch(2, 2); }),
                         8, plain));
    EXPECT_EQ(plain, "abababab");
    const struct {
        const char* what;
        void (*body)(StreamWriter&);
    } cases[] = {
        {"short match before the start",
         [](StreamWriter& s) { s.ShortMatch(3, 5), s.ShortMatch(2, 2); }},
        {"index before the start", [](StreamWriter& s) { s.Phrase(0, 3, 8, 2); }},
        {"index 0", [](StreamWriter& s) { s.Phrase(0, 0, 8, 2); }},
        {"one-byte phrase before the start", [](StreamWriter& s) { s.Bits(0b001'0100, 7); }},
        {"index base 0", [](StreamWriter& s) { s.SetIndexBase(1, 0); }},
        {"index base 32", [](StreamWriter& s) { s.SetIndexBase(3, 32); }},
        {"output overflow", [](StreamWriter& s) { s.ShortMatch(2, 5), s.ShortMatch(2, 2); }},
        {"overflow by literal",
         [](StreamWriter& s) {
             for (int i = 0; i < 7; ++i) {
                 s.Literal('x');
             }
         }},
        {"raw block overflow", [](StreamWriter& s) { s.Bits(0b001'0000'1, 8); }},
        {"too short", [](StreamWriter& s) { s.ShortMatch(2, 5); }},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(DecodeTo(OneStream(c.body), 8, plain)) << c.what;
    }
    // Same-index at the very start: last index 1 points before the output.
    StreamWriter early;
    early.LiteralSize8();
    early.SameIndex(2);
    early.End();
    EXPECT_FALSE(DecodeTo(early.Block(2), 2, plain));
}

TEST(Jcalg1Decode, RejectsAStreamWithoutEndToken) {
    // 31 literals after the size token fill exactly nine words; zero bits read past them
    // would look like an end token, but they are not part of the stream.
    StreamWriter s;
    s.LiteralSize8();
    for (int i = 0; i < 31; ++i) {
        s.Literal('a' + i);
    }
    std::string plain;
    const std::string noEnd = s.Block(31);
    ASSERT_EQ(noEnd.size(), 10u + 36u);
    EXPECT_FALSE(DecodeTo(noEnd, 31, plain));
    s.End();
    EXPECT_TRUE(DecodeTo(s.Block(31), 31, plain));
}

} // namespace
} // namespace vuni::testing
