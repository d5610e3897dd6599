#include "jaws/languages.h"
#include "package/package.h"
#include "wizard/selection.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

PackageEntry Entry(const std::string& name, const std::string& destination, int32_t flags,
                   int32_t group = 0, int32_t order = 1) {
    PackageEntry e;
    e.sourceName = name;
    e.destination = destination;
    e.flags = flags;
    e.groupIndex = group;
    e.compileOrder = order;
    return e;
}

SettingsFolder Folder(const std::string& label, int32_t kind, const std::string& languages,
                      bool running = false) {
    SettingsFolder f;
    f.label = label;
    f.kind = kind;
    f.languages = languages;
    f.running = running;
    f.settingsFolder = "C:\\JAWS\\" + label + "\\Settings\\";
    return f;
}

TEST(OperationChoicesTest, RemovalOfferedOnlyWithAnAssociableEntry) {
    std::vector<PackageEntry> entries = {Entry("a.jss", "%JawsScriptPath%\\", EntryCompilable)};
    Choices c = OperationChoices(entries);
    EXPECT_EQ(c.items, (std::vector<std::string>{
                           "Installer les fichiers",
                           "Installer les fichiers après la sauvegarde des anciens scrips",
                           "Copier les fichiers dans un dossier"}));
    EXPECT_EQ(c.defaultIndex, 1);
    entries.push_back(Entry("m.jsm", "%JawsScriptPath%\\", EntryAssociable));
    c = OperationChoices(entries);
    ASSERT_EQ(c.items.size(), 4u);
    EXPECT_EQ(c.items[3], "Retirer l'association du Default.JSS");
    EXPECT_EQ(c.defaultIndex, 1);
    EXPECT_EQ(OperationChoices({}).items.size(), 3u);
}

TEST(OperationChoicesTest, EachItemCommitsItsKindAndCaption) {
    // Chooser item i commits the kind whose label it shows.
    const std::pair<const char*, OperationKind> items[] = {
        {"Installer les fichiers", OperationKind::Install},
        {"Installer les fichiers après la sauvegarde des anciens scrips",
         OperationKind::InstallWithBackup},
        {"Copier les fichiers dans un dossier", OperationKind::Copy},
        {"Retirer l'association du Default.JSS", OperationKind::RemoveAssociation}};
    const Choices c = OperationChoices({Entry("m.jsm", "%JawsScriptPath%\\", EntryAssociable)});
    ASSERT_EQ(c.items.size(), std::size(items));
    WizardSelection s;
    for (int i = 0; i < static_cast<int>(c.items.size()); ++i) {
        EXPECT_EQ(c.items[static_cast<size_t>(i)], items[i].first);
        CommitOperation(s, i);
        EXPECT_EQ(s.kind, items[i].second);
        EXPECT_EQ(LabelOfKind(s.kind), items[i].first);
    }
    EXPECT_EQ(LabelOfKind(OperationKind::None), "");
    EXPECT_EQ(FirstWord("Copier les fichiers dans un dossier"), "Copier");
    EXPECT_EQ(FirstWord("Retirer l'association du Default.JSS"), "Retirer");
    s.kind = OperationKind::Install;
    CommitOperation(s, 4);
    EXPECT_EQ(s.kind, OperationKind::None);
    s.kind = OperationKind::Install;
    CommitOperation(s, -1);
    EXPECT_EQ(s.kind, OperationKind::None);
}

TEST(DescribeEntryTest, InstallKindsDescribeOptionsAndDestination) {
    // The documented example.
    EXPECT_EQ(DescribeEntry(Entry("A.jss", "%JawsScriptPath%\\Sub\\", EntryCompilable, 0, 2),
                            OperationKind::Install),
              "A.jss, A compiler en 2ème, dans \\Sub");
    EXPECT_EQ(DescribeEntry(Entry("A.jss", "%JawsScriptPath%\\", EntryCompilable, 0, 1),
                            OperationKind::InstallWithBackup),
              "A.jss, A compiler en premier");
    EXPECT_EQ(DescribeEntry(Entry("A.jss", "%JawsScriptPath%\\",
                                  EntryCompilable | EntryNoCompile | EntryOptional),
                            OperationKind::Install),
              "A.jss, optionnel, Ne pas compiler");
    EXPECT_EQ(DescribeEntry(Entry("m.jsm", "%JawsScriptPath%\\", EntryAssociable, 0, 0),
                            OperationKind::Install),
              "m.jsm, Autoriser l'association avec le Default.JSS et compiler en 0ème");
    EXPECT_EQ(
        DescribeEntry(Entry("m.jsm", "%JawsScriptPath%\\", EntryAssociable | EntryNoAssociation),
                      OperationKind::Install),
        "m.jsm, Ne pas autoriser l'association avec le Default.JSS");
    // Kind 0 (nothing committed yet) describes like an install kind.
    EXPECT_EQ(
        DescribeEntry(Entry("o.txt", "%JawsScriptPath%\\", EntryOptional), OperationKind::None),
        "o.txt, optionnel");
}

TEST(DescribeEntryTest, CopyAndRemovalOnlyNameTheFileAndFolder) {
    const PackageEntry all = Entry("A.jss", "%JawsScriptPath%\\Sub\\",
                                   EntryCompilable | EntryAssociable | EntryOptional);
    EXPECT_EQ(DescribeEntry(all, OperationKind::Copy), "A.jss, dans \\Sub");
    EXPECT_EQ(DescribeEntry(all, OperationKind::RemoveAssociation), "A.jss, dans \\Sub");
}

TEST(DescribeEntryTest, DestinationForms) {
    auto d = [](const std::string& dest) {
        return DescribeEntry(Entry("f", dest, 0), OperationKind::Copy);
    };
    EXPECT_EQ(d("%JawsScriptPath%\\"), "f");
    EXPECT_EQ(d("%JawsScriptPath%"), "f, dans ");
    // Only an exact-case placeholder counts as one; every occurrence is then removed
    // regardless of case.
    EXPECT_EQ(d("%JawsScriptPath%\\%jawsscriptpath%\\x\\"), "f, dans \\\\x");
    EXPECT_EQ(d("%jawsscriptpath%\\Sub\\"), "f, dans %jawsscriptpath%\\Sub");
    EXPECT_EQ(d("C:\\Autre\\"), "f, dans C:\\Autre");
    EXPECT_EQ(d(""), "f, dans ");
    EXPECT_EQ(CompileOrdinal(1), "premier");
    EXPECT_EQ(CompileOrdinal(0), "0ème");
    EXPECT_EQ(CompileOrdinal(12), "12ème");
}

TEST(FileRowsTest, SortsByTheWholeKeyIgnoringCaseAndKeepsTheGroup) {
    std::vector<PackageEntry> entries = {
        Entry("Z.jss", "%JawsScriptPath%\\", 0),
        Entry("B.jss", "%JawsScriptPath%\\Sub\\", 0),
        Entry("other.jss", "%JawsScriptPath%\\", 0, 1),
        Entry("a.jss", "%JawsScriptPath%\\Sub\\", EntryOptional),
        Entry("intro.wav", "", 0, -2),
    };
    WizardSelection s;
    s.kind = OperationKind::Install;
    s.chosenGroup = 0;
    BuildFileRows(s, entries, -1);
    ASSERT_EQ(s.rows.size(), 3u);
    EXPECT_EQ(s.rows[0].entryIndex, 3); // %JawsScriptPath%\Sub\a.jss
    EXPECT_EQ(s.rows[1].entryIndex, 1); // %JawsScriptPath%\Sub\B.jss
    EXPECT_EQ(s.rows[2].entryIndex, 0); // %JawsScriptPath%\Z.jss
    EXPECT_EQ(s.rows[0].sortKey, "%JawsScriptPath%\\Sub\\a.jss");
    EXPECT_FALSE(s.rows[0].checked);
    EXPECT_TRUE(s.rows[1].checked);
    EXPECT_EQ(s.selectedRow, 0);
    BuildFileRows(s, entries, 0);
    EXPECT_EQ(s.selectedRow, 2);
    BuildFileRows(s, entries, 99);
    EXPECT_EQ(s.selectedRow, 0);
    // Only A-Z fold: accented capitals and other bytes compare by value.
    EXPECT_TRUE(SortKeyLess("a", "B"));
    EXPECT_TRUE(SortKeyLess("Z", "\xC9"));
    EXPECT_TRUE(SortKeyLess("\xC9", "\xE9"));
    EXPECT_FALSE(SortKeyLess("abc", "ABC"));
    EXPECT_TRUE(SortKeyLess("ab", "ABC"));
}

TEST(FileRowsTest, RemovalListsOnlyAssociableEntries) {
    std::vector<PackageEntry> entries = {Entry("a.jss", "%JawsScriptPath%\\", EntryCompilable),
                                         Entry("m.jsm", "%JawsScriptPath%\\", EntryAssociable),
                                         Entry("n.jsm", "%JawsScriptPath%\\", EntryAssociable, 1)};
    WizardSelection s;
    s.kind = OperationKind::RemoveAssociation;
    s.chosenGroup = 0;
    BuildFileRows(s, entries, -1);
    ASSERT_EQ(s.rows.size(), 1u);
    EXPECT_EQ(s.rows[0].entryIndex, 1);
    EXPECT_EQ(s.rows[0].description, "m.jsm");
}

TEST(FileRowsTest, EmptyListAndOutOfRangeRows) {
    std::vector<PackageEntry> entries = {Entry("a.jss", "%JawsScriptPath%\\", EntryCompilable, 1)};
    WizardSelection s;
    s.chosenGroup = 0;
    BuildFileRows(s, entries, -1);
    EXPECT_TRUE(s.rows.empty());
    EXPECT_EQ(SelectedEntry(s), -1);
    EXPECT_FALSE(ToggleCompile(s, entries));
    EXPECT_EQ(entries[0].flags, EntryCompilable);

    s.chosenGroup = 1;
    BuildFileRows(s, entries, -1);
    s.selectedRow = 7;
    EXPECT_EQ(SelectedEntry(s), 0);
    EXPECT_EQ(s.selectedRow, 0);
    s.selectedRow = -1;
    EXPECT_EQ(SelectedEntry(s), 0);
}

TEST(FileRowsTest, TogglesChangeTheEntryAndRestoreDefaultMarks) {
    std::vector<PackageEntry> entries = {
        Entry("a.jss", "%JawsScriptPath%\\", EntryCompilable, 0, 2),
        Entry("b.jsm", "%JawsScriptPath%\\", EntryAssociable | EntryCompilable, 0, 1),
    };
    WizardSelection s;
    s.kind = OperationKind::Install;
    s.chosenGroup = 0;
    BuildFileRows(s, entries, -1);
    s.rows[0].checked = false; // the user unchecks a required file
    s.selectedRow = 1;
    ASSERT_TRUE(ToggleCompile(s, entries));
    EXPECT_EQ(entries[1].flags, EntryAssociable | EntryCompilable | EntryNoCompile);
    EXPECT_TRUE(s.rows[0].checked);
    EXPECT_EQ(s.selectedRow, 1);
    EXPECT_EQ(s.rows[1].description,
              "b.jsm, Ne pas compiler, Autoriser l'association avec le Default.JSS et compiler "
              "en premier");
    ASSERT_TRUE(ToggleAssociation(s, entries));
    EXPECT_NE(entries[1].flags & EntryNoAssociation, 0);
    ASSERT_TRUE(ToggleAssociation(s, entries));
    EXPECT_EQ(entries[1].flags & EntryNoAssociation, 0);

    s.rows[0].checked = false;
    CheckAll(s);
    EXPECT_TRUE(s.rows[0].checked && s.rows[1].checked);
}

TEST(FileRowsTest, MenuStateFollowsFlagsAndKind) {
    ContextMenuState m =
        MenuStateFor(Entry("a", "", EntryCompilable | EntryAssociable), OperationKind::Copy);
    EXPECT_TRUE(m.compileEnabled);
    EXPECT_TRUE(m.associationEnabled);
    EXPECT_EQ(m.compileText, "Ne pas compiler");
    EXPECT_EQ(m.associationText, "Ne pas autoriser l'association avec le Default.JSS");
    m = MenuStateFor(
        Entry("a", "", EntryCompilable | EntryAssociable | EntryNoCompile | EntryNoAssociation),
        OperationKind::InstallWithBackup);
    EXPECT_EQ(m.compileText, "A compiler");
    EXPECT_EQ(m.associationText, "Autoriser l'association avec le Default.JSS");
    m = MenuStateFor(Entry("a", "", EntryCompilable | EntryAssociable),
                     OperationKind::RemoveAssociation);
    EXPECT_FALSE(m.compileEnabled);
    EXPECT_FALSE(m.associationEnabled);
    m = MenuStateFor(Entry("a", "", 0), OperationKind::Install);
    EXPECT_FALSE(m.compileEnabled);
    EXPECT_FALSE(m.associationEnabled);
}

TEST(FolderChoicesTest, SharedFoldersRunningDefaultAndKeepingTheChoiceByName) {
    std::vector<SettingsFolder> folders = {
        Folder("Jaws 10", UserSettings, "fra|"),
        Folder("Jaws 11", UserSettings, "enu|fra|", true),
        Folder("Jaws 11 partagé", SharedSettings, "fra|", true),
        Folder("Choix d'un dossier", FreeFolder, ""),
    };
    WizardSelection s;
    Choices c = FolderChoices(s, folders, "");
    EXPECT_EQ(c.items, (std::vector<std::string>{"Jaws 10", "Jaws 11", "Choix d'un dossier"}));
    EXPECT_EQ(s.folderItems, (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(c.defaultIndex, 1);
    s.includeShared = true;
    c = FolderChoices(s, folders, "");
    EXPECT_EQ(c.items.size(), 4u);
    EXPECT_EQ(c.defaultIndex, 2); // the last running folder
    c = FolderChoices(s, folders, "Jaws 10");
    EXPECT_EQ(c.defaultIndex, 0);
    s.includeShared = false;
    c = FolderChoices(s, folders, "Jaws 11 partagé"); // no longer listed
    EXPECT_EQ(c.defaultIndex, 0);
    EXPECT_EQ(FolderChoices(s, {}, "").items.size(), 0u);
}

TEST(LanguageChoicesTest, NamesDefaultsAndFreeFolder) {
    std::vector<SettingsFolder> folders = {
        Folder("A", UserSettings, "ENU|fra|deu|"),
        Folder("B", UserSettings, ""),
        Folder("C", UserSettings, "deu|ita"),
        Folder("Choix d'un dossier", FreeFolder, ""),
    };
    WizardSelection s;
    FolderChoices(s, folders, "");
    LanguageChoices lc = BuildLanguageChoices(s, folders, 0, 4, "");
    EXPECT_FALSE(lc.freeFolder);
    EXPECT_TRUE(lc.languageEnabled);
    EXPECT_EQ(lc.choices.items, (std::vector<std::string>{"Américain", "Français", "deu"}));
    EXPECT_EQ(lc.choices.defaultIndex, 1); // "Français" when nothing was shown
    EXPECT_EQ(BuildLanguageChoices(s, folders, 0, 4, "Américain").choices.defaultIndex, 0);
    EXPECT_EQ(BuildLanguageChoices(s, folders, 0, 4, "ita").choices.defaultIndex, 1);
    lc = BuildLanguageChoices(s, folders, 1, 4, "");
    EXPECT_TRUE(lc.refill);
    EXPECT_FALSE(lc.languageEnabled);
    EXPECT_TRUE(lc.choices.items.empty());
    // Only codes followed by "|" count.
    lc = BuildLanguageChoices(s, folders, 2, 4, "");
    EXPECT_EQ(lc.choices.items, (std::vector<std::string>{"deu"}));
    EXPECT_EQ(lc.choices.defaultIndex, 0);
    lc = BuildLanguageChoices(s, folders, 3, 4, "Français");
    EXPECT_TRUE(lc.freeFolder);
    EXPECT_FALSE(lc.refill);
    EXPECT_EQ(LanguageCode("Français"), "fra");
    EXPECT_EQ(LanguageCode("Américain"), "enu");
    EXPECT_EQ(LanguageCode("deu"), "deu");
}

TEST(CommitFolderTest, DestinationsOfEachKind) {
    std::vector<SettingsFolder> folders = {
        Folder("A", UserSettings, "fra|enu|"),
        Folder("S", SharedSettings, "fra|"),
        Folder("Choix d'un dossier", FreeFolder, ""),
    };
    WizardSelection s;
    s.includeShared = true;
    FolderChoices(s, folders, "");
    CommitFolder(s, folders, 0, "Américain", "C:\\Start");
    EXPECT_EQ(s.chosenFolder, 0);
    EXPECT_EQ(folders[0].chosenLanguage, "Américain");
    EXPECT_EQ(folders[0].scriptPath, "C:\\JAWS\\A\\Settings\\enu\\");
    EXPECT_EQ(folders[2].scriptPath, "C:\\Start"); // every free folder, chosen or not
    CommitFolder(s, folders, 2, "Français", "D:\\Ici\\");
    EXPECT_EQ(s.chosenFolder, 2);
    EXPECT_EQ(folders[2].scriptPath, "D:\\Ici\\");
    EXPECT_EQ(folders[2].chosenLanguage, "");
    CommitFolder(s, folders, 9, "x", "E:\\");
    EXPECT_EQ(s.chosenFolder, 2);
}

TEST(GroupChoicesTest, RunningVersionPreviousTextAndMismatch) {
    std::vector<ScriptGroup> groups = {{"9.0", "a"}, {"10.0", "b"}, {"10.5", "c"}, {"11", "d"}};
    WizardSelection s;
    Choices c = GroupChoices(s, groups, "", "");
    EXPECT_EQ(c.items[1], "Jaws 10.0");
    EXPECT_EQ(c.defaultIndex, 0);
    c = GroupChoices(s, groups, "", "10");
    EXPECT_EQ(c.defaultIndex, 1);
    EXPECT_EQ(s.chosenGroup, 1);
    c = GroupChoices(s, groups, "", "12");
    EXPECT_EQ(c.defaultIndex, 0);
    c = GroupChoices(s, groups, "Jaws 11", "10");
    EXPECT_EQ(c.defaultIndex, 3);
    c = GroupChoices(s, groups, "Jaws 7", "10");
    EXPECT_EQ(c.defaultIndex, 0);

    GroupSelect r = SelectGroup(s, groups, 2, 4);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(s.chosenGroup, 2);
    r = SelectGroup(s, groups, -1, 4);
    EXPECT_TRUE(r.ok && r.selectFirstItem);
    EXPECT_EQ(s.chosenGroup, 0);
    s.chosenGroup = 3;
    r = SelectGroup(s, groups, 1, 3);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(s.chosenGroup, 0);
    EXPECT_FALSE(SelectGroup(s, {}, 0, 0).ok);
    EXPECT_EQ(GroupMismatchLine(4, 3), "! CroupList$()=4 and #GroupFileListG=3");
}

TEST(SummaryTest, ExactLinesForAUserFolderAndTheFreeFolder) {
    PackageInfo info;
    info.applicationName = "MonAppli";
    info.applicationVersion = "";
    info.scriptSetVersion = "2.1";
    info.author = "Élodie";
    std::vector<ScriptGroup> groups = {{"10", ""}};
    std::vector<SettingsFolder> folders = {Folder("Jaws 10", UserSettings, "fra|"),
                                           Folder("Choix d'un dossier", FreeFolder, "")};
    folders[0].chosenLanguage = "Français";
    folders[0].scriptPath = "C:\\JAWS\\Jaws 10\\Settings\\fra\\";
    folders[1].chosenLanguage = "stale";
    folders[1].scriptPath = "C:\\Start";
    WizardSelection s;
    s.kind = OperationKind::InstallWithBackup;
    s.chosenGroup = 0;
    s.chosenFolder = 0;
    EXPECT_EQ(BuildSummary(info, groups, folders, s),
              (std::vector<std::string>{
                  "* Déscription du groupe de fichiers scripts :",
                  " Pour l'application : MonAppli ",
                  " Version : 2.1",
                  " Auteur  :",
                  " Fonctionnant avec Jaws 10",
                  "",
                  "* Dossier de destination : ",
                  " Jaws 10, Français",
                  " C:\\JAWS\\Jaws 10\\Settings\\fra\\",
                  "",
                  "* Installer les fichiers après la sauvegarde des anciens scrips",
                  "",
              }));
    info.flags = InfoCertified;
    s.chosenFolder = 1;
    s.kind = OperationKind::Copy;
    const std::vector<std::string> lines = BuildSummary(info, groups, folders, s);
    EXPECT_EQ(lines[3], " Auteur certifié :");
    EXPECT_EQ(lines[7], " Choix d'un dossier, ");
    EXPECT_EQ(lines[8], " C:\\Start");
    EXPECT_EQ(lines[10], "* Copier les fichiers dans un dossier");
}

TEST(OperationRowsTest, WalkInDisplayOrderWithinTheChosenGroup) {
    PackageState package;
    package.entries = {Entry("b.jss", "%JawsScriptPath%\\", 0), Entry("x", "", 0, 1),
                       Entry("a.jss", "%JawsScriptPath%\\", EntryOptional)};
    WizardSelection s;
    s.chosenGroup = 0;
    BuildFileRows(s, package.entries, -1);
    s.rows.push_back({1, "stray", "", 0, true}); // another group's entry
    s.rows.push_back({42, "bad", "", 0, true});  // no such entry
    std::vector<std::pair<int, bool>> seen;
    std::vector<int> current;
    EXPECT_TRUE(ForEachOperationRow(s, package, [&](const RowVisit& r) {
        seen.emplace_back(r.entryIndex, r.checked);
        current.push_back(package.currentEntry);
        return true;
    }));
    EXPECT_EQ(seen, (std::vector<std::pair<int, bool>>{{2, false}, {0, true}}));
    EXPECT_EQ(current, (std::vector<int>{2, 0}));
    int calls = 0;
    EXPECT_FALSE(ForEachOperationRow(s, package, [&](const RowVisit&) { return ++calls > 5; }));
    EXPECT_EQ(calls, 1);
}

} // namespace
} // namespace vuni
