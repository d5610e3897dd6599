#include "text/safe_path.h"
#include "text/text.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

TEST(Text, LiteralsAreWindows1252Bytes) {
    const std::string e = "é";
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(static_cast<unsigned char>(e[0]), 0xE9);
    EXPECT_EQ(static_cast<unsigned char>(std::string("¶")[0]), 0xB6);
}

TEST(Text, LowerFollowsCodePage1252) {
    EXPECT_EQ(Lower("ÉCOLE Ça ÀÖØÞ"), "école ça àöøþ");
    EXPECT_EQ(Lower("ŠŒŽŸ"), "šœžÿ");
    // The multiplication sign and the German sharp s have no other case.
    EXPECT_EQ(Lower("×ß"), "×ß");
    EXPECT_EQ(UpperChar('é'), 'É');
    EXPECT_EQ(Lower("JScript.EXE"), "jscript.exe");
}

TEST(Text, TrimsSpacesOnlyOrBlanks) {
    EXPECT_EQ(Trim("  a b \t "), "a b \t");
    EXPECT_EQ(Trim("\t a "), "\t a");
    EXPECT_EQ(TrimBlanks(" \t a b\t "), "a b");
    EXPECT_EQ(TrimLeft("  x "), "x ");
    EXPECT_EQ(TrimRight("  x "), "  x");
    EXPECT_EQ(Trim("   "), "");
}

TEST(Text, CaseInsensitiveFindAndReplace) {
    EXPECT_EQ(FindNoCase("C:\\%JAWSSCRIPTPATH%\\x", "%JawsScriptPath%"), 3u);
    EXPECT_EQ(FindNoCase("Élève", "ÈVE"), 2u);
    EXPECT_EQ(FindNoCase("abc", "abcd"), std::string::npos);
    EXPECT_EQ(FindNoCase("abab", "ab", 1), 2u);
    EXPECT_EQ(ReplaceAllNoCase("%User%\\a;%USER%\\b", "%user%", "C:\\U"), "C:\\U\\a;C:\\U\\b");
    // The replacement is not scanned again.
    EXPECT_EQ(ReplaceAllNoCase("aa", "a", "aA"), "aAaA");
    EXPECT_EQ(ReplaceAll("xAx", "a", "b"), "xAx");
    EXPECT_EQ(ReplaceAllNoCase("abc", "", "z"), "abc");
}

TEST(Text, SplitAndFields) {
    EXPECT_EQ(Split("fra|enu|", '|'), (std::vector<std::string>{"fra", "enu", ""}));
    EXPECT_EQ(Split("", ';'), (std::vector<std::string>{""}));
    EXPECT_EQ(Field("fra|enu|", '|', 2), "enu");
    EXPECT_EQ(Field("fra|enu|", '|', 4), "");
    EXPECT_EQ(CountChar("fra|enu|", '|'), 2u);
}

TEST(Text, NumbersAndPaths) {
    EXPECT_EQ(Decimal(-2), "-2");
    EXPECT_EQ(Decimal(2147483647), "2147483647");
    EXPECT_EQ(LeadingInteger("11.0"), 11);
    EXPECT_EQ(LeadingInteger("Backup"), 0);
    EXPECT_EQ(LeadingInteger(" -5x"), -5);
    EXPECT_EQ(FolderPart("C:\\a\\b.jss"), "C:\\a\\");
    EXPECT_EQ(FolderPart("a/b"), "a/");
    EXPECT_EQ(FileNamePart("C:\\a\\b.jss"), "b.jss");
    EXPECT_EQ(FileNamePart("b.jss"), "b.jss");
    EXPECT_EQ(StripTrailingBackslash("C:\\a\\\\"), "C:\\a\\");
    EXPECT_EQ(EnsureTrailingBackslash("C:\\a"), "C:\\a\\");
    EXPECT_EQ(EnsureTrailingBackslash("C:\\a\\"), "C:\\a\\");
}

TEST(Text, Utf8Conversions) {
    const std::string cp = "Français € œ";
    const std::string utf8 = Cp1252ToUtf8(cp);
    EXPECT_EQ(utf8, "Fran\xC3\xA7"
                    "ais \xE2\x82\xAC \xC5\x93");
    std::string back;
    ASSERT_TRUE(Utf8ToCp1252(utf8, back));
    EXPECT_EQ(back, cp);
    EXPECT_FALSE(Utf8ToCp1252("\xE4\xB8\xAD", back)) << "a CJK character has no 1252 byte";
    EXPECT_FALSE(Utf8ToCp1252("\xC3", back)) << "truncated sequence";
    EXPECT_FALSE(Utf8ToCp1252("\xC0\xA9", back)) << "overlong form";
}

} // namespace
} // namespace vuni

namespace vuni {
namespace {

TEST(SafePath, RefusesClimbingStreamsAndDevicesOnly) {
    for (const char* path :
         {"C:\\a\\..\\b.txt", "..\\x", "a/../b", "a\\.. \\b", "a\\...\\b", "C:\\a\\b:c",
          "C:\\Default.JSS:evil", "a\\CON", "a\\nul.txt", "a\\Com1\\b", "LPT9.log", "aux .x"}) {
        EXPECT_NE(UnsafePathReason(path, true), nullptr) << path;
    }
    for (const char* path : {"C:\\Users\\a\\script.jss", "\\\\server\\share\\a.jss", "a\\.\\b",
                             "a..b\\c..", "CONFIG.jss", "COM10", "LPT0", "nul_file", "console"}) {
        EXPECT_EQ(UnsafePathReason(path, true), nullptr) << path;
    }
    EXPECT_NE(UnsafePathReason("C:\\a", false), nullptr); // below a base: no drive
}

} // namespace
} // namespace vuni
