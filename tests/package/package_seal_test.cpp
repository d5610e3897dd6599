// The seal's text and its CRC: what vunipack writes must read back, and nothing else may.
#include "installer_file_fixture.h"
#include "package/crc32.h"
#include "package/package_seal.h"
#include "testing/package_builder.h"

#include <gtest/gtest.h>
#include <string>

namespace vuni {
namespace {

TEST(Crc32, IsTheStandardCrcInAnyPieces) {
    Crc32 whole;
    whole.Update("123456789", 9);
    EXPECT_EQ(whole.Value(), 0xCBF43926u);
    Crc32 pieces;
    pieces.Update("1234", 4);
    pieces.Update("", 0);
    pieces.Update("56789", 5);
    EXPECT_EQ(pieces.Value(), 0xCBF43926u);
}

TEST(PackageSeal, ReadsBackWhatItWritesWithTheAuthorsText) {
    const PackageSeal seal{0x0A1B2C3Du, 11, 2147483648LL, "texte de l'auteur; avec ;"};
    const std::string text = SealText(seal);
    EXPECT_EQ(text.substr(0, 38), "VuniSeal1 0A1B2C3D 11 2147483648;texte");
    PackageSeal back;
    ASSERT_TRUE(ParseSeal(text, back));
    EXPECT_EQ(back.crc, seal.crc);
    EXPECT_EQ(back.records, seal.records);
    EXPECT_EQ(back.bytes, seal.bytes);
    EXPECT_EQ(back.authorText, seal.authorText);
}

TEST(PackageSeal, OnlyAWellFormedSealIsRead) {
    PackageSeal out;
    for (const char* text :
         {"", "VuniSeal1 ", "VuniSeal1 0A1B2C3D 11 99", "VuniSeal1 0a1b2c3d 11 99;",
          "VuniSeal1 0A1B2C3 11 99;", "VuniSeal1 0A1B2C3DX 11 99;", "VuniSeal1 0A1B2C3D 11;",
          "VuniSeal1 0A1B2C3D -1 99;", "VuniSeal1 0A1B2C3D 011 99;", "VuniSeal1 0A1B2C3D 11 9x;",
          "VuniSeal1 0A1B2C3D 2147483648 99;", "VuniSeal1 0A1B2C3D  11 99;", "VuniSeal2 0A1B"}) {
        EXPECT_FALSE(ParseSeal(text, out)) << text;
    }
    EXPECT_TRUE(StartsLikeSeal("VuniSeal1 garbage"));
    EXPECT_FALSE(StartsLikeSeal("VuniSeal2 0A1B2C3D 11 99;"));
}

class SealedPackage : public testing::InstallerFileTest {
protected:
    static testing::TestPackage Sample(bool sealed) {
        testing::TestPackage p = testing::SamplePackage();
        p.info.reservedA = "texte de l'auteur";
        p.sealed = sealed;
        return p;
    }
    bool LastLineIs(const std::string& line) const {
        const auto& lines = install.Lines();
        return lines.size() >= 2 && lines[lines.size() - 2] == line;
    }
};

TEST_F(SealedPackage, ReadsAsSoundWhileAnUnsealedOneReadsAsBefore) {
    Install(testing::BuildInstallerBytes(Sample(true)));
    ASSERT_EQ(Load(), LoadPackageResult::Success);
    EXPECT_EQ(state.seal, SealState::Sound);
    EXPECT_TRUE(LastLineIs("- Integrity seal checked"));
    PackageSeal seal;
    ASSERT_TRUE(ParseSeal(state.info.reservedA, seal));
    EXPECT_EQ(seal.authorText, "texte de l'auteur");
    EXPECT_EQ(seal.records, 2);

    Install(testing::BuildInstallerBytes(Sample(false)));
    ASSERT_EQ(Load(), LoadPackageResult::Success);
    EXPECT_EQ(state.seal, SealState::None);
    EXPECT_TRUE(LastLineIs("- No integrity seal"));
}

TEST_F(SealedPackage, TheFlagAndTheTextAnnounceASealEachOnTheirOwn) {
    testing::TestPackage flagOnly = Sample(false);
    flagOnly.info.flags |= InfoSealed;
    testing::TestPackage textOnly = Sample(false);
    textOnly.info.reservedA = SealText({0, 2, 100, ""});
    for (const testing::TestPackage& p : {flagOnly, textOnly}) {
        Install(testing::BuildInstallerBytes(p));
        EXPECT_EQ(Load(), LoadPackageResult::Failure);
        EXPECT_TRUE(state.entries.empty());
    }
}

// Every single-bit flip of the package (from the line break before its marker to its end),
// every cut and one byte more are refused: the program never reads a damaged package as a
// sound one.
TEST_F(SealedPackage, EveryBitFlipEveryCutAndAnAddedByteAreRefused) {
    const testing::TestPackage p = Sample(true);
    const std::string bytes = testing::BuildInstallerBytes(p);
    for (size_t at = p.stub.size(); at < bytes.size(); ++at) {
        for (int bit = 0; bit < 8; ++bit) {
            std::string flipped = bytes;
            flipped[at] = static_cast<char>(flipped[at] ^ (1 << bit));
            Install(flipped);
            ASSERT_NE(Load(), LoadPackageResult::Success) << "byte " << at << " bit " << bit;
        }
    }
    for (size_t length = 0; length < bytes.size(); ++length) {
        Install(bytes.substr(0, length));
        ASSERT_NE(Load(), LoadPackageResult::Success) << "cut at " << length;
    }
    for (const char extra : {'\0', 'x'}) {
        Install(bytes + extra);
        EXPECT_NE(Load(), LoadPackageResult::Success);
    }
    Install(bytes);
    EXPECT_EQ(Load(), LoadPackageResult::Success);
}

} // namespace
} // namespace vuni
