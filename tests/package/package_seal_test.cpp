// The seal's text and its CRC: what vunipack writes must read back, and nothing else may.
#include "package/crc32.h"
#include "package/package_seal.h"

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

} // namespace
} // namespace vuni
