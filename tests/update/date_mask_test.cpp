#include "platform/sim/sim_host.h"
#include "testing/temp_dir.h"
#include "update/date_mask.h"
#include "update/http_address.h"
#include "update/version_check.h"
#include "update/version_template.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

constexpr std::string_view kMask = "%dd/%mm/%yyyy %hh:%ii";

TEST(DateMask, SecondsAndCivilTimeAgree) {
    EXPECT_EQ(SecondsFromWallClock({1970, 1, 1, 0, 0, 0}), 0);
    EXPECT_EQ(SecondsFromWallClock({2000, 3, 1, 0, 0, 0}), 951868800);
    EXPECT_EQ(SecondsFromWallClock({1969, 12, 31, 23, 59, 59}), -1);
    for (const int64_t s : {int64_t{0}, int64_t{-1}, int64_t{951782400} /* 29/02/2000 */,
                            int64_t{2147483647}, int64_t{-2147483647 - 1}, int64_t{4102444799}}) {
        SCOPED_TRACE(s);
        EXPECT_EQ(SecondsFromWallClock(WallClockFromSeconds(s)), s);
    }
    const WallClock leap = WallClockFromSeconds(951782400 + 3661);
    EXPECT_EQ(leap.day, 29);
    EXPECT_EQ(leap.month, 2);
    EXPECT_EQ(leap.hour, 1);
    EXPECT_EQ(leap.second, 1);
}

TEST(DateMask, FormatsEveryTokenInAnyCase) {
    const WallClock t{2024, 3, 5, 7, 8, 9};
    EXPECT_EQ(FormatDateMask(kMask, t), "05/03/2024 07:08");
    EXPECT_EQ(FormatDateMask(" the %DD/%Mm/%YYYY", t), " the 05/03/2024");
    EXPECT_EQ(FormatDateMask("%yy-%ss-%hh%ii %x%", t), "24-09-0708 %x%");
    EXPECT_EQ(FormatDateMask("%yyy", t), "24y") << "the longest token first, then literals";
    EXPECT_EQ(FormatDateSeconds(kMask, -60), "31/12/1969 23:59");
    EXPECT_EQ(FormatDateSeconds(kMask, 2147483647), "19/01/2038 03:14");
}

TEST(DateMask, ParsesTheMaskBackAndRejectsWhatDoesNotFit) {
    EXPECT_EQ(ParseDateMask(kMask, "16/03/2024 08:00"),
              SecondsFromWallClock({2024, 3, 16, 8, 0, 0}));
    EXPECT_EQ(ParseDateMask(kMask, "29/02/2024 23:59"),
              SecondsFromWallClock({2024, 2, 29, 23, 59, 0}));
    EXPECT_EQ(ParseDateMask(kMask, "1/3/2024 8:05"), SecondsFromWallClock({2024, 3, 1, 8, 5, 0}))
        << "one digit is enough";
    EXPECT_EQ(ParseDateMask(kMask, "16/03/2024"), SecondsFromWallClock({2024, 3, 16, 0, 0, 0}))
        << "a missing time is midnight";
    EXPECT_EQ(ParseDateMask(kMask, "16/03/2024 08:00:59 extra"),
              SecondsFromWallClock({2024, 3, 16, 8, 0, 0}));
    EXPECT_EQ(ParseDateMask(kMask, ""), 0);
    for (const char* bad :
         {"2024-03-16 08:00", "16.03.2024", "31/02/2024 10:00", "29/02/2023", "16/13/2024",
          "16/03/2024 24:00", "16/03/2024 10:60", "aa/03/2024", "00/01/2024"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(ParseDateMask(kMask, bad), 0);
    }
    const int64_t s = SecondsFromWallClock({2031, 12, 31, 23, 59, 0});
    EXPECT_EQ(ParseDateMask(kMask, FormatDateSeconds(kMask, s)), s);
}

PackageInfo Sample() {
    PackageInfo info;
    info.applicationName = "MonAppli";
    info.applicationVersion = "1.2";
    info.scriptSetName = "Scripts ÉTÉ";
    info.scriptSetVersion = "3";
    return info;
}

TEST(VersionTemplate, ExpandsTokensThenTrimsAndLowers) {
    const PackageInfo info = Sample();
    const WallClock now{2026, 12, 8, 18, 5, 30};
    EXPECT_EQ(ExpandVersionTemplate("#%AN-%AV.UPQ", info, now), "monappli-1.2.upq");
    EXPECT_EQ(ExpandVersionTemplate("  %an_%Sn_%sV_%aV  ", info, now),
              "MonAppli_Scripts ÉTÉ_3_1.2");
    EXPECT_EQ(ExpandVersionTemplate("#%SN", info, now), "scripts été") << "code page 1252";
    EXPECT_EQ(ExpandVersionTemplate("%yyyy%MM%dd-%HH%ii%ss-%yy", info, now), "20261208-180530-26");
    EXPECT_EQ(ExpandVersionTemplate(" #x", info, now), "x") << "trimmed before the # test";
    EXPECT_EQ(ExpandVersionTemplate("a#B", info, now), "a#B");

    // Inserted values are never read as tokens.
    PackageInfo tricky = info;
    tricky.applicationName = "%AV%dd";
    EXPECT_EQ(ExpandVersionTemplate("%AN|%AV", tricky, now), "%AV%dd|1.2");
}

TEST(VersionTemplate, RemoteNameAndLocalCopy) {
    const WallClock now{};
    EXPECT_EQ(RemoteVersionFileName(Sample(), now), "monappli-1.2.upqUPQ");
    testing::TempDir dir;
    SimHost host(dir.Path());
    host.SetTemporaryFolder("C:\\Temp\\");
    EXPECT_EQ(LocalVersionFilePath(host, Sample(), now), "C:\\Temp\\monappli-1.2.upqUPQ");
    // The package's texts never lead the local copy out of the temporary folder.
    PackageInfo climbing = Sample();
    climbing.applicationName = "..\\..\\Win/dows:x*?\"<>|\t";
    EXPECT_EQ(RemoteVersionFileName(climbing, now), "..\\..\\win/dows:x*?\"<>|\t-1.2.upqUPQ");
    EXPECT_EQ(LocalVersionFilePath(host, climbing, now),
              "C:\\Temp\\.._.._win_dows_x_______-1.2.upqUPQ");
}

TEST(VersionTemplate, OnlyWellFormedWebAddressesAreOpened) {
    for (const char* address :
         {"http://example.org/new.exe", "HTTPS://example.org/", "http://example.org",
          "https://user@files.example.org:8443/v2/setup.exe?lang=fr&x=1#top", "http://[::1]:8080/x",
          "http://192.0.2.7/%C3%A9t%C3%A9.zip", "http://exemple.fr/été.exe"}) {
        EXPECT_TRUE(IsWebAddress(address)) << address;
    }
    const std::string longest = "http://example.org/" + std::string(kMaxWebAddressLength - 19, 'a');
    EXPECT_TRUE(IsWebAddress(longest));
    for (const std::string& other : {std::string("C:\\Windows\\calc.exe"),
                                     std::string("file:///c:/x.exe"),
                                     std::string("ftp://host/x"),
                                     std::string("\\\\server\\share\\setup.exe"),
                                     std::string(" http://x"),
                                     std::string("httpx://a"),
                                     std::string(),
                                     std::string("http://"),
                                     std::string("https:///path"),
                                     std::string("http://:80/"),
                                     std::string("http://@/"),
                                     std::string("http://exa mple.org/"),
                                     std::string("http://example.org/a b"),
                                     std::string("http://example.org/\"\" calc"),
                                     std::string("http://example.org\t/"),
                                     std::string("http://example.org/x\0y", 22),
                                     std::string("http://host:0/"),
                                     std::string("http://host:65536/"),
                                     std::string("http://host:8o/"),
                                     std::string("http://.example.org/"),
                                     std::string("http://ex_ample.org/"),
                                     std::string("http://example.org\\..\\evil"),
                                     longest + "a",
                                     "http://example.org/" + std::string(1 << 20, 'a')}) {
        EXPECT_FALSE(IsWebAddress(other)) << other.substr(0, 60);
    }
}

} // namespace
} // namespace vuni
