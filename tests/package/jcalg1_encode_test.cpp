// Encoder round trips, checked by the decoder and by the independent stream walk.
#include "jcalg1_stream_check.h"
#include "jcalg1_test_util.h"
#include "package/jcalg1_format.h"
#include "package/jcalg1_match_finder.h"

#include <climits>
#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <random>

namespace vuni::testing {
namespace {

std::string Encode(const std::string& plain, int level = 5) {
    return Jcalg1Encode(Bytes(plain), plain.size(), level);
}

// Encodes with level's own parse, checks the stream and decodes it again; returns the
// stream's token counts.
StreamCheck RoundTrip(const std::string& plain, int level = 5) {
    const std::string block = jcalg1::EncodeOneLevel(Bytes(plain), plain.size(), level);
    EXPECT_FALSE(block.empty());
    StreamCheck check = CheckStream(block, plain);
    if (block.size() >= 10) {
        EXPECT_EQ(jcalg1::LoadLe32(Bytes(block) + 6), jcalg1::Checksum(Bytes(plain), plain.size()));
    }
    EXPECT_EQ(check.fault, "") << "level " << level << ", " << plain.size() << " bytes";
    std::string decoded;
    EXPECT_TRUE(DecodeTo(block, plain.size(), decoded));
    EXPECT_TRUE(decoded == plain) << "level " << level << ", " << plain.size() << " bytes";
    return check;
}

std::string RandomBytes(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s) {
        c = static_cast<char>(rng());
    }
    return s;
}

TEST(Jcalg1StreamCheck, AcceptsTheVectorsAndCatchesFaults) {
    for (const std::string& name : Jcalg1VectorNames()) {
        const StreamCheck c = CheckStream(Jcalg1Vector(name, ".jc"), Jcalg1Vector(name, ".plain"));
        EXPECT_EQ(c.fault, "") << name;
    }
    StreamWriter s;
    s.Literal('a');
    s.End();
    EXPECT_NE(CheckStream(s.Block(1), "a").fault, "");
    std::string longer = Jcalg1Vector("one_byte", ".jc") + std::string(4, '\0');
    EXPECT_NE(CheckStream(longer, "A").fault, "");
}

TEST(Jcalg1Encode, RoundTripsTheVectorsAtEveryLevel) {
    for (const std::string& name : Jcalg1VectorNames()) {
        SCOPED_TRACE(name);
        const std::string plain = Jcalg1Vector(name, ".plain");
        for (int level : {1, 3, 5, 7, 9}) {
            RoundTrip(plain, level);
        }
    }
}

// The vectors not named synthetic come from the original compressor: at the default level (and
// so above it) no stream is larger than its (a 7-bit literal costs 8 bits, less than a raw
// block).
TEST(Jcalg1Encode, NoLargerThanTheOriginalCompressorAtTheDefaultLevel) {
    for (const std::string& name : Jcalg1VectorNames()) {
        if (name.rfind("synthetic", 0) == 0) {
            continue;
        }
        const std::string plain = Jcalg1Vector(name, ".plain");
        const size_t original = Jcalg1Vector(name, ".jc").size();
        EXPECT_LE(Encode(plain, kJcalg1DefaultLevel).size(), original) << name;
    }
}

TEST(Jcalg1Encode, SmallAndIncompressibleInputs) {
    EXPECT_EQ(Jcalg1Encode(nullptr, 0, 5), "");
    EXPECT_EQ(Encode(""), "");
    for (size_t n : {1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 255, 256, 257, 1000, 4099, 70000}) {
        RoundTrip(RandomBytes(n, static_cast<uint32_t>(n)));
        RoundTrip(std::string(n, '\0'));
        RoundTrip(std::string(n, '\xE9'));
    }
    // Noise goes out as raw blocks, a little over one byte per byte.
    const std::string noise = RandomBytes(70000, 3);
    for (int level : {1, 9}) {
        EXPECT_GT(RoundTrip(noise, level).rawBlocks, 250u);
        EXPECT_LT(Encode(noise, level).size(), noise.size() + noise.size() / 100);
    }
    RoundTrip("A", 0); // levels outside 1..9 are clamped
    RoundTrip("AB", 42);
}

// Both finders against a full search: every reported match is real, lengths rise, and with
// depth to spare the tree finds the longest match there is (up to the nice length) at its
// nearest distance, also where the tree is rebuilt over long repeats.
TEST(Jcalg1MatchFinder, MatchesAreRealAndTheTreeFindsTheLongest) {
    std::mt19937 rng(7);
    std::string text;
    const char* const words[] = {"Say ", "(", "If ", "Then", "\r\n", "x", "ab", "abab"};
    while (text.size() < 20000) {
        text += rng() % 50 == 0 ? std::string(rng() % 90, 'q') : words[rng() % 8];
    }
    const auto* data = Bytes(text);
    constexpr size_t kNice = 40;
    constexpr size_t kWindow = 1 << 12;
    for (const bool tree : {false, true}) {
        jcalg1::MatchFinder finder(data, text.size(), kWindow, 4096, kNice, tree);
        std::vector<jcalg1::Match> found(4096 + 3);
        for (size_t pos = 0; pos < text.size(); ++pos) {
            const size_t n = finder.Find(pos, found.data());
            size_t longest = 0;
            size_t nearest = 0;
            for (size_t d = 1; d <= std::min(pos, kWindow - 1); ++d) {
                const size_t len = jcalg1::CommonLength(data + pos - d, data + pos,
                                                        std::min(text.size() - pos, kNice));
                if (len > longest && len >= 4) {
                    longest = len;
                    nearest = d;
                }
            }
            for (size_t k = 0; k < n; ++k) {
                ASSERT_TRUE(found[k].distance >= 1 && found[k].distance <= pos);
                ASSERT_EQ(jcalg1::CommonLength(data + pos - found[k].distance, data + pos,
                                               found[k].length),
                          found[k].length);
                ASSERT_TRUE(k == 0 || found[k].length > found[k - 1].length);
            }
            if (tree && longest != 0) {
                ASSERT_NE(n, 0u) << pos;
                EXPECT_EQ(found[n - 1].length, longest) << pos;
                EXPECT_EQ(found[n - 1].distance, nearest) << pos;
            }
        }
    }
}

TEST(Jcalg1Encode, LongRunsAndPatterns) {
    const StreamCheck zeros = RoundTrip(std::string(3 << 20, '\0'));
    EXPECT_LT(Encode(std::string(3 << 20, '\0')).size(), 200u);
    EXPECT_GE(zeros.sameIndex, 1u);
    std::string pattern;
    for (int i = 0; i < 200000; ++i) {
        pattern += static_cast<char>("abcabd\x01\xFF"[i % 8]);
    }
    RoundTrip(pattern, 1);
    RoundTrip(pattern, 9);
}

TEST(Jcalg1Encode, FarDistances) {
    // A 70 KiB random block repeated after 100 KiB: its copy sits past 64 KiB and must be
    // found again at distances with the largest length bonus.
    const std::string block = RandomBytes(70000, 1);
    const std::string far = block + RandomBytes(100000, 2) + block;
    const StreamCheck c = RoundTrip(far, 9);
    EXPECT_GE(c.farthest, 0x10000u);
    EXPECT_LT(Encode(far, 9).size(), 200000u);
    // Past the 1 MiB window the copy cannot be referred to; the round trip must still hold.
    const std::string beyond = block + RandomBytes((1 << 20) + 10, 3) + block;
    const StreamCheck b = RoundTrip(beyond, 9);
    EXPECT_LT(b.farthest, 1u << 20);
    // At lower levels the window is smaller but the data still comes back.
    RoundTrip(far, 1);
}

TEST(Jcalg1Encode, UsesTheCompactCodes) {
    // Text in a narrow byte range gets 7-bit literals; zero bytes and bytes seen just before
    // get their own codes; close repeats become short matches.
    auto makeText = [](uint32_t seed) {
        std::string text;
        std::mt19937 rng(seed);
        for (int i = 0; i < 3000; ++i) {
            text += "If x = " + std::to_string(rng() % 1000) + " Then\r\n\tSay(\"abc\")\r\n";
            text += static_cast<char>('a' + rng() % 26);
            if (i % 50 == 0) {
                text += std::string(1, '\0') + "xyx";
            }
        }
        return text;
    };
    const std::string text = makeText(5);
    const StreamCheck c = RoundTrip(text);
    EXPECT_GT(c.literals7, 0u);
    EXPECT_GT(c.zeroBytes, 0u);
    EXPECT_GT(c.nearBytes, 0u);
    EXPECT_GT(c.shortMatches, 0u);
    EXPECT_GT(c.sameIndex, 0u);
    EXPECT_GT(c.explicitIndex, 0u);
    // Text followed by binary data switches the literal width.
    const StreamCheck mixed = RoundTrip(text + RandomBytes(20000, 9) + makeText(6));
    EXPECT_GE(mixed.literalSizeChanges, 3u);
    EXPECT_GT(mixed.literals8, 0u);
}

// A script line repeated many times where a few lines carry one of a handful of edits: the
// nearest copy of an edited line is far back, past many unedited ones.
std::string RepeatedLinesWithEdits(size_t lines, uint32_t seed) {
    std::mt19937 rng(seed);
    const std::string line = "\tSayString(\"Fenster \" + IntToString(nIndex) + \" aktiv\")\r\n";
    std::string out;
    for (size_t i = 0; i < lines; ++i) {
        std::string l = line;
        if (rng() % 40 == 0) {
            l[2 + rng() % 8] = "xyzw"[rng() % 4];
        }
        if (rng() % 60 == 0) {
            l.insert(l.size() - 2, ";");
        }
        out += l;
    }
    return out;
}

// A block of script words repeated, each copy with a few bytes changed at random.
std::string CopiesWithScatteredEdits(size_t blockSize, size_t copies, uint32_t seed) {
    std::mt19937 rng(seed);
    const char* const words[] = {"Say(", "If ", "Then\r\n", "EndIf\r\n", "GetFocus()", "\t", " "};
    std::string block;
    while (block.size() < blockSize) {
        block += words[rng() % std::size(words)];
    }
    std::string out;
    for (size_t c = 0; c < copies; ++c) {
        for (int e = 0; e < 3; ++e) {
            block[rng() % block.size()] = static_cast<char>('A' + rng() % 26);
        }
        out += block;
    }
    return out;
}

// On three of these twelve inputs a deeper search on its own comes out a few bytes larger than
// a shallower one.
TEST(Jcalg1Encode, HigherLevelsNeverComeOutLarger) {
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        for (const std::string& plain :
             {RepeatedLinesWithEdits(60 + 100 * (seed % 8), seed),
              CopiesWithScatteredEdits(300 + 400 * (seed % 7), 3 + seed % 10, seed)}) {
            size_t previous = SIZE_MAX;
            for (int level = 1; level <= 9; ++level) {
                const size_t size = Encode(plain, level).size();
                EXPECT_LE(size, previous) << "level " << level << ", seed " << seed;
                previous = size;
            }
        }
    }
    RoundTrip(RepeatedLinesWithEdits(500, 3), 9);
    RoundTrip(CopiesWithScatteredEdits(2000, 9, 4), 8);
}

TEST(Jcalg1Encode, RoundTripsTheScriptCorpus) {
    VUNI_REQUIRE_SHARED("corpus/jaws");
    const std::filesystem::path dir = SharedDir() / "corpus/jaws/jss";
    size_t files = 0;
    size_t plainBytes = 0;
    size_t packedBytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string plain = ReadHostFile(entry.path());
        SCOPED_TRACE(entry.path().filename().string());
        const StreamCheck check = RoundTrip(plain);
        if (plain.size() > 250000) {
            EXPECT_GE(check.indexBaseChanges, 1u); // far distances call for a wider index
            EXPECT_GE(check.farthest, 0x10000u);
            for (int level : {1, 2, 3, 4}) {
                RoundTrip(plain, level); // chunk ends, look-ahead and far distances
            }
        }
        if (plain.size() > 1000) {
            plainBytes += plain.size();
            packedBytes += Encode(plain).size();
        }
        ++files;
    }
    EXPECT_GT(files, 0u);
    // Script sources are repetitive text: well under a third of their size.
    EXPECT_LT(packedBytes * 3, plainBytes);
}

} // namespace
} // namespace vuni::testing
