#include "jaws/discovery.h"
#include "jaws/languages.h"
#include "machine_fixture.h"
#include "text/text.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

using testing::LoadedMachine;

std::vector<SettingsFolder> Discover(SimHost& host, bool withShared = true, bool old = true) {
    std::vector<SettingsFolder> folders(1); // a stale entry: discovery starts afresh
    const int count = DiscoverJaws(host, ResolveShellFolders(host), withShared, old, folders);
    EXPECT_EQ(count, static_cast<int>(folders.size()));
    return folders;
}

std::vector<std::string> Labels(const std::vector<SettingsFolder>& folders) {
    std::vector<std::string> out;
    for (const SettingsFolder& f : folders) {
        out.push_back(f.label);
    }
    return out;
}

TEST(DiscoverJaws, OneVersionWithUserAndSharedFolders) {
    LoadedMachine m("jaws11");
    const auto folders = Discover(m.host);
    ASSERT_EQ(folders.size(), 2u);
    const SettingsFolder& user = folders[0];
    EXPECT_EQ(user.label, "Mes paramètres de jaws 11.0");
    EXPECT_EQ(user.kind, UserSettings);
    EXPECT_EQ(user.versionName, "11.0");
    EXPECT_EQ(user.majorVersion, 11);
    // Backup (six letters) and the three-letter file "log" are no language folders.
    EXPECT_EQ(user.languages, "enu|fra|");
    EXPECT_EQ(user.installPath, "C:\\Program Files\\Freedom Scientific\\JAWS\\11.0\\");
    EXPECT_EQ(user.runtimePath, "C:\\Program Files\\Freedom Scientific\\RunTime JAWS\\11.0\\");
    EXPECT_EQ(user.settingsFolder,
              "C:\\Users\\alice\\AppData\\Roaming\\Freedom Scientific\\JAWS\\11.0\\Settings\\");
    EXPECT_EQ(user.scriptPath, "") << "set by the wizard";
    EXPECT_EQ(user.chosenLanguage, "");
    EXPECT_FALSE(user.running);

    const SettingsFolder& shared = folders[1];
    EXPECT_EQ(shared.label, "Paramètres partagés de jaws 11.0");
    EXPECT_EQ(shared.kind, SharedSettings);
    EXPECT_EQ(shared.languages, "fra|");
    EXPECT_EQ(shared.settingsFolder, "C:\\ProgramData\\Freedom Scientific\\JAWS\\11.0\\Settings\\");
    EXPECT_EQ(shared.installPath, user.installPath);
    EXPECT_EQ(shared.runtimePath, user.runtimePath);

    EXPECT_EQ(Discover(m.host, false).size(), 1u) << "shared folders only on request";
}

TEST(DiscoverJaws, TwoVersionsComeHighestFirstUserBeforeShared) {
    LoadedMachine m("jaws11-10");
    auto folders = Discover(m.host);
    AppendFreeFolder(folders);
    EXPECT_EQ(Labels(folders), (std::vector<std::string>{
                                   "Mes paramètres de jaws 11.0",
                                   "Paramètres partagés de jaws 11.0",
                                   "Mes paramètres de jaws 10.0",
                                   "Paramètres partagés de jaws 10.0",
                                   "Choix d'un dossier",
                               }));
    EXPECT_EQ(folders[0].installPath, "C:\\Program Files\\Freedom Scientific\\JAWS\\11.0\\")
        << "an expandable value read from UTF-16 hex data";
    EXPECT_EQ(folders[2].installPath, "C:\\Program Files\\Freedom Scientific\\JAWS\\10.0\\")
        << "a final backslash is added";
    EXPECT_EQ(folders[2].settingsFolder, "C:\\Users\\émilie\\AppData\\Roaming\\Freedom "
                                         "Scientific\\JAWS\\10.0\\Settings\\");
    EXPECT_EQ(folders[4].kind, FreeFolder);
    EXPECT_EQ(folders[4].installPath, "");
    EXPECT_EQ(folders[4].settingsFolder, "");
}

TEST(DiscoverJaws, VersionsBeforeSixKeepTheirSettingsUnderTheProgramFolder) {
    LoadedMachine m("jaws510");
    auto folders = Discover(m.host);
    ASSERT_EQ(folders.size(), 1u) << "no shared entry before version 6";
    EXPECT_EQ(folders[0].majorVersion, 5);
    EXPECT_EQ(folders[0].settingsFolder,
              "C:\\Program Files\\Freedom Scientific\\JAWS\\5.10\\SETTINGS\\");
    EXPECT_EQ(folders[0].languages, "enu|fra|");
    EXPECT_EQ(folders[0].runtimePath, "") << "even though a runtime key exists";

    // Without the option, 5.10 is looked for where version 6 would keep it.
    folders = Discover(m.host, true, false);
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(folders[0].languages, "deu|");
    EXPECT_EQ(folders[0].runtimePath,
              "C:\\Program Files\\Freedom Scientific\\RunTime JAWS\\5.10\\");
}

TEST(DiscoverJaws, NothingInstalledGivesOnlyTheFreeFolder) {
    LoadedMachine m("no-jaws");
    auto folders = Discover(m.host);
    EXPECT_TRUE(folders.empty());
    AppendFreeFolder(folders);
    EXPECT_EQ(Labels(folders), std::vector<std::string>{"Choix d'un dossier"});

    // Nor when the registry cannot be read at all.
    testing::TempDir empty;
    SimHost bare(empty.Path());
    EXPECT_TRUE(Discover(bare).empty());
}

TEST(DiscoverJaws, ASubkeyThatIsNoVersionCountsWhenItHasLanguageFolders) {
    // "Common" has no Target and no number: major version 0, program folder "\", so with
    // the pre-6 rule its settings folder is \SETTINGS\ at the root of the current drive.
    LoadedMachine m("stray-subkey");
    auto folders = Discover(m.host);
    ASSERT_EQ(folders.size(), 1u) << "no \\SETTINGS\\ folder yet";
    EXPECT_EQ(folders[0].versionName, "11.0");

    ASSERT_TRUE(m.host.CreateFolder("C:\\SETTINGS"));
    ASSERT_TRUE(m.host.CreateFolder("C:\\SETTINGS\\enu"));
    folders = Discover(m.host);
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[1].versionName, "Common");
    EXPECT_EQ(folders[1].majorVersion, 0);
    EXPECT_EQ(folders[1].installPath, "\\");
    EXPECT_EQ(folders[1].settingsFolder, "\\SETTINGS\\");
    EXPECT_EQ(folders[1].runtimePath, "");
    EXPECT_EQ(folders[1].languages, "enu|");
    EXPECT_EQ(folders[1].kind, UserSettings);

    // Without the pre-6 rule it is looked for like a version 6 or later.
    folders = Discover(m.host, true, false);
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[1].settingsFolder,
              "C:\\Users\\alice\\AppData\\Roaming\\Freedom Scientific\\JAWS\\Common\\Settings\\");
    EXPECT_EQ(folders[1].runtimePath, "\\") << "no runtime key";
}

TEST(DiscoverJaws, SortsByMajorVersionAsNumbersAndKeepsTheOrderOfEqualOnes) {
    LoadedMachine m("jaws11");
    auto& reg = m.host.Registry();
    const std::string root = "C:\\Users\\alice\\AppData\\Roaming\\Freedom Scientific\\JAWS\\";
    for (const char* v : {"9.0", "10.0", "11.5"}) {
        reg.SetString(std::string("HKLM\\SOFTWARE\\Freedom Scientific\\JAWS\\") + v, "Target",
                      std::string("C:\\J\\") + v);
        ASSERT_TRUE(m.host.CreateFolder(root + v));
        ASSERT_TRUE(m.host.CreateFolder(root + v + "\\Settings"));
        ASSERT_TRUE(m.host.CreateFolder(root + v + "\\Settings\\fra"));
    }
    const auto folders = Discover(m.host);
    std::vector<std::string> order;
    for (const SettingsFolder& f : folders) {
        order.push_back(f.versionName + (f.kind == SharedSettings ? " shared" : ""));
    }
    // Registry order is by name: 10.0, 11.0, 11.5, 9.0.
    EXPECT_EQ(order, (std::vector<std::string>{"11.0", "11.0 shared", "11.5", "10.0", "9.0"}));
}

TEST(DiscoverJaws, ReadsThe64BitViewFromWindowsXpOn) {
    // A 32-bit program on Windows 2000 does not ask for the 64-bit view: on a 64-bit
    // machine it would see only the (empty) 32-bit registry.
    LoadedMachine m("jaws11");
    m.host.SetWindowsVersionClass(50);
    EXPECT_TRUE(Discover(m.host).empty());
    m.host.SetWindowsVersionClass(60);
    EXPECT_EQ(Discover(m.host).size(), 2u);
}

TEST(DiscoverJaws, AStandardUserStillFindsTheInstalledVersions) {
    LoadedMachine m("jaws11-10");
    m.host.SetRestrictedUser(true);
    EXPECT_EQ(Discover(m.host).size(), 4u);
}

TEST(ListLanguageFolders, ThreeLetterFoldersOnlyInListingOrder) {
    LoadedMachine m("jaws11");
    const std::string settings =
        "C:\\Users\\alice\\AppData\\Roaming\\Freedom Scientific\\JAWS\\11.0\\Settings";
    EXPECT_EQ(ListLanguageFolders(m.host, settings), "enu|fra|");
    EXPECT_EQ(ListLanguageFolders(m.host, settings + "\\"), "enu|fra|");
    EXPECT_EQ(ListLanguageFolders(m.host, settings + "\\fra"), "") << "files only";
    EXPECT_EQ(ListLanguageFolders(m.host, "C:\\Nowhere"), "");
}

TEST(Languages, DisplayNamesAndBack) {
    EXPECT_EQ(LanguageDisplayName("fra"), "Français");
    EXPECT_EQ(LanguageDisplayName("enu"), "Américain");
    EXPECT_EQ(LanguageDisplayName("FRA"), "Français") << "folder names ignore case";
    EXPECT_EQ(LanguageDisplayName("deu"), "deu");
    EXPECT_EQ(LanguageCode("Français"), "fra");
    EXPECT_EQ(LanguageCode("Américain"), "enu");
    EXPECT_EQ(LanguageCode("deu"), "deu");
    EXPECT_EQ(LanguageCode("français"), "français");
}

} // namespace
} // namespace vuni
