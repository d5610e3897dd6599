#include "operations/config_names.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

const std::vector<std::string> kAliases = {"MonAppli", "monappli"};

std::string Add(const std::string& text, const std::vector<std::string>& aliases = kAliases) {
    return RewriteConfigNames(text, aliases, "MonAppliScripts", false);
}
std::string Remove(const std::string& text, const std::vector<std::string>& aliases = kAliases) {
    return RewriteConfigNames(text, aliases, "MonAppliScripts", true);
}

TEST(AliasList, TrimsDropsEmptyPiecesAndExactRepeatsOnly) {
    EXPECT_EQ(BuildAliasList("MonAppli; monappli ;;MonAppli"), kAliases);
    EXPECT_EQ(BuildAliasList(" ; ;"), std::vector<std::string>{});
    EXPECT_EQ(BuildAliasList("b;a;b;A"), (std::vector<std::string>{"b", "a", "A"}));
}

TEST(AliasList, PiecesThatWouldBreakTheFileAreDropped) {
    // A line break would write a second line, "=" another key, "[" a section header.
    EXPECT_EQ(BuildAliasList("ok;a\r\n[Other];k=v;[X]; x[y] "),
              (std::vector<std::string>{"ok", "x[y]"}));
}

TEST(IniLines, EndAtCrLfLoneCrAndLoneLf) {
    EXPECT_EQ(SplitIniLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitIniLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(SplitIniLines("\n\r"), (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(SplitIniLines("").empty());
}

TEST(IniSection, HeaderNeedsBracketsAndIsComparedTrimmedInLowerCase) {
    std::string name;
    EXPECT_TRUE(IniSectionName("  [ CONFIGNAMES ]  ; note", name));
    EXPECT_EQ(name, "confignames");
    EXPECT_TRUE(IniSectionName("[Options]x]", name));
    EXPECT_EQ(name, "options");
    EXPECT_FALSE(IniSectionName("[ConfigNames", name));
    EXPECT_FALSE(IniSectionName("x[ConfigNames]", name));
    EXPECT_FALSE(IniSectionName("", name));
}

TEST(ConfigNamesKey, CutsAtCommentThenAtEqualsWithoutFurtherTrimming) {
    EXPECT_EQ(ConfigNamesKey("  MonAppli=Autre  "), "monappli");
    EXPECT_EQ(ConfigNamesKey("MonAppli = Autre"), "monappli ");
    EXPECT_EQ(ConfigNamesKey("MonAppli;=x"), "monappli");
    EXPECT_EQ(ConfigNamesKey(";MonAppli=Autre"), "");
    EXPECT_EQ(ConfigNamesKey("ÉCRAN=x"), "écran");
}

TEST(RewriteConfigNames, AddPutsNewEntriesFirstAndReplacesOlderOnesOfAnyCase) {
    const std::string in = "[Other]\nMonAppli=Keep\n[ConfigNames]\nword=Word\nMONAPPLI=Old\r"
                           "monappli=Older\nexcel=Excel";
    EXPECT_EQ(Add(in), "[Other]\r\nMonAppli=Keep\r\n[ConfigNames]\r\n"
                       "MonAppli=MonAppliScripts\r\nmonappli=MonAppliScripts\r\n"
                       "word=Word\r\nexcel=Excel\r\n");
}

TEST(RewriteConfigNames, RemoveDropsEveryEntryOfTheAliasesWhateverTheyNamed) {
    const std::string in = "[ConfigNames]\r\nword=Word\r\nMonAppli=MonAppliScripts\r\n"
                           "monAPPLI=Autre\r\n[Other]\r\nmonappli=x\r\n";
    EXPECT_EQ(Remove(in), "[ConfigNames]\r\nword=Word\r\n[Other]\r\nmonappli=x\r\n");
}

TEST(RewriteConfigNames, BlanksAroundEqualsAndCommentedEntriesAreKeptInBothModes) {
    const std::string in = "[ConfigNames]\r\nMonAppli = Autre\r\n;MonAppli=Autre\r\n"
                           "  \r\nMonAppli=X ; old\r\n";
    EXPECT_EQ(Remove(in), "[ConfigNames]\r\nMonAppli = Autre\r\n;MonAppli=Autre\r\n  \r\n");
    EXPECT_EQ(Add(in), "[ConfigNames]\r\nMonAppli=MonAppliScripts\r\nmonappli=MonAppliScripts\r\n"
                       "MonAppli = Autre\r\n;MonAppli=Autre\r\n  \r\n");
}

TEST(RewriteConfigNames, SectionHeaderWrittenWithBlanksAndCapitalsIsRecognised) {
    const std::string in = "[ CONFIGNAMES ]\nmonappli=Old\n";
    EXPECT_EQ(Add(in, {"MonAppli"}), "[ CONFIGNAMES ]\r\nMonAppli=MonAppliScripts\r\n");
    EXPECT_EQ(Remove(in), "[ CONFIGNAMES ]\r\n");
}

TEST(RewriteConfigNames, MissingSectionIsAppendedInAddModeOnly) {
    const std::string in = "; header\n[Other]\na=b";
    EXPECT_EQ(Add(in), "; header\r\n[Other]\r\na=b\r\n[ConfigNames]\r\n"
                       "MonAppli=MonAppliScripts\r\nmonappli=MonAppliScripts\r\n");
    EXPECT_EQ(Remove(in), "; header\r\n[Other]\r\na=b\r\n");
    EXPECT_EQ(Add(""), "[ConfigNames]\r\nMonAppli=MonAppliScripts\r\nmonappli=MonAppliScripts\r\n");
    EXPECT_EQ(Remove(""), "");
}

TEST(RewriteConfigNames, EmptySectionBeforeAnotherGetsASecondSectionAtTheEnd) {
    const std::string in = "[ConfigNames]\n[Other]\na=b\n";
    EXPECT_EQ(Add(in, {"X"}), "[ConfigNames]\r\n[Other]\r\na=b\r\n[ConfigNames]\r\n"
                              "X=MonAppliScripts\r\n");
    // A header on the last line has no line after it either.
    EXPECT_EQ(Add("[ConfigNames]", {"X"}),
              "[ConfigNames]\r\n[ConfigNames]\r\nX=MonAppliScripts\r\n");
}

TEST(RewriteConfigNames, EntriesGoIntoTheFirstSectionOnlyButOldOnesLeaveEverySection) {
    const std::string in = "[ConfigNames]\nx=old\n[Other]\n[confignames]\nX=old2\ny=Y\n";
    EXPECT_EQ(Add(in, {"x"}), "[ConfigNames]\r\nx=MonAppliScripts\r\n[Other]\r\n"
                              "[confignames]\r\ny=Y\r\n");
}

TEST(RewriteConfigNames, AddIsStableWhenRepeated) {
    const std::string once = Add("[ConfigNames]\r\nword=Word\r\n");
    EXPECT_EQ(Add(once), once);
    EXPECT_EQ(Remove(once), "[ConfigNames]\r\nword=Word\r\n");
}

} // namespace
} // namespace vuni
