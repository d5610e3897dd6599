#include "jaws/placeholders.h"
#include "machine_fixture.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

ShellFolders Alice() {
    ShellFolders s;
    s.userAppData = "C:\\Users\\a\\AppData\\Roaming\\";
    s.sharedAppData = "C:\\ProgramData\\";
    s.myDocuments = "C:\\Docs\\";
    s.userJawsRoot = s.userAppData + "Freedom Scientific\\JAWS\\";
    s.sharedJawsRoot = s.sharedAppData + "Freedom Scientific\\JAWS\\";
    return s;
}

constexpr char kScripts[] =
    "C:\\Users\\a\\AppData\\Roaming\\Freedom Scientific\\JAWS\\11.0\\Settings\\fra\\";

TEST(ExpandPlaceholders, EachPlaceholderGivesItsFolderWithOneBackslash) {
    const ShellFolders s = Alice();
    const PlaceholderContext c{s, kScripts};
    EXPECT_EQ(ExpandPlaceholders(c, "%JawsScriptPath%\\Word.jss"),
              std::string(kScripts) + "Word.jss");
    EXPECT_EQ(ExpandPlaceholders(c, "%User%\\11.0\\Settings"),
              "C:\\Users\\a\\AppData\\Roaming\\Freedom Scientific\\JAWS\\11.0\\Settings");
    EXPECT_EQ(ExpandPlaceholders(c, "%AllUsers%\\x"),
              "C:\\ProgramData\\Freedom Scientific\\JAWS\\x");
    EXPECT_EQ(ExpandPlaceholders(c, "%UserAppData%\\x"), "C:\\Users\\a\\AppData\\Roaming\\x");
    EXPECT_EQ(ExpandPlaceholders(c, "%AllUsersAppData%\\x"), "C:\\ProgramData\\x");
    EXPECT_EQ(ExpandPlaceholders(c, "%MyDoc%\\x"), "C:\\Docs\\x");
}

TEST(ExpandPlaceholders, MatchesAnyCaseOnlyAtTheStartAndOnlyTheChosenOne) {
    const ShellFolders s = Alice();
    const PlaceholderContext c{s, kScripts};
    EXPECT_EQ(ExpandPlaceholders(c, "%user%\\11.0\\Settings"),
              ExpandPlaceholders(c, "%User%\\11.0\\Settings"));
    EXPECT_EQ(ExpandPlaceholders(c, "%MYDOC%\\a"), "C:\\Docs\\a");
    EXPECT_EQ(ExpandPlaceholders(c, "Scripts\\%User%\\x"), "Scripts\\%User%\\x");
    EXPECT_EQ(ExpandPlaceholders(c, "%User%\\a;%MyDoc%\\b"),
              "C:\\Users\\a\\AppData\\Roaming\\Freedom Scientific\\JAWS\\a;%MyDoc%\\b");
    // Every occurrence of the chosen one, in any case, is replaced.
    EXPECT_EQ(ExpandPlaceholders(c, "%MyDoc%\\a;%mydoc%\\b"), "C:\\Docs\\a;C:\\Docs\\b");
    // Blanks before the placeholder do not hide it, and stay where they are.
    EXPECT_EQ(ExpandPlaceholders(c, "  %MyDoc%\\a"), "  C:\\Docs\\a");
    EXPECT_EQ(ExpandPlaceholders(c, "%MyDoc"), "%MyDoc");
    EXPECT_EQ(ExpandPlaceholders(c, ""), "");
}

TEST(ExpandPlaceholders, FollowsTheCurrentChoiceAndEmptyFolders) {
    const ShellFolders s = Alice();
    EXPECT_EQ(ExpandPlaceholders({s, ""}, "%JawsScriptPath%\\Word.jss"), "\\Word.jss")
        << "no destination chosen yet";
    EXPECT_EQ(ExpandPlaceholders(PlaceholdersFor(s, nullptr), "%JawsScriptPath%\\Word.jss"),
              "\\Word.jss");
    SettingsFolder chosen;
    chosen.scriptPath = "D:\\Mine\\";
    const PlaceholderContext c = PlaceholdersFor(s, &chosen);
    EXPECT_EQ(ExpandPlaceholders(c, "%JawsScriptPath%\\Word.jss"), "D:\\Mine\\Word.jss");

    // Unresolved shell folders leave the JAWS part of the roots.
    ShellFolders none;
    none.userJawsRoot = "Freedom Scientific\\JAWS\\";
    EXPECT_EQ(ExpandPlaceholders({none, ""}, "%User%\\11.0"), "Freedom Scientific\\JAWS\\11.0");
    EXPECT_EQ(ExpandPlaceholders({none, ""}, "%MyDoc%\\x"), "\\x");
}

TEST(DisplayPath, ShowsScriptFilesInsideTheirFolderAndDrivesAsDisque) {
    ShellFolders s = Alice();
    const PlaceholderContext c{s, kScripts};
    EXPECT_EQ(DisplayPath(c, "%JawsScriptPath%\\Word.jss"), "\\Word.jss");
    EXPECT_EQ(DisplayPath(c, "%jawsscriptpath%\\Word.jss"), "\\Word.jss");
    EXPECT_EQ(DisplayPath(c, "%MyDoc%\\Scripts"), "Disque C\\Docs\\Scripts");
    EXPECT_EQ(DisplayPath(c, "Scripts\\x.jss"), "Scripts\\x.jss") << "no drive, unchanged";
    EXPECT_EQ(DisplayPath(c, "C:\\a:b:c"), "Disque C\\a") << "after a second colon: dropped";
    EXPECT_EQ(DisplayPath(c, "%User%\\%JawsScriptPath%x"),
              "Disque C\\Users\\a\\AppData\\Roaming\\Freedom Scientific\\JAWS\\x");
}

} // namespace
} // namespace vuni
