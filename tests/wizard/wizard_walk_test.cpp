// Walking the wizard as a user would, page by page, with the headless view.
#include "wizard_fixture.h"

namespace vuni::testing {
namespace {

using namespace ctl;

class WizardWalk : public WizardFixture {};

TEST_F(WizardWalk, WelcomePageTextsFieldsAndOfferedButtons) {
    TestPackage p = SamplePackage();
    Launch(p);
    EXPECT_EQ(view.Text(kWelcomeText),
              "Bienvenue dans l'assistant d'installation de scripts pour la revue d'écran JAWS "
              "!\nCet assistant va vous guider durant l'installation des scripts, version 2.1, "
              "de Élodie Auteur, permétant l'amélioration de l'accéssibilité de l'application "
              "MonAppli version 1.2. Recommandé pour Jaws 11 avec Windows 10.");
    EXPECT_EQ(view.Text(kScriptField), "2.1 pour MonAppli 1.2");
    EXPECT_EQ(view.Text(kAuthorField), "Élodie Auteur");
    EXPECT_EQ(view.Text(kContactField), "elodie@example.org");
    EXPECT_EQ(view.Text(kRecommendedField), " pour Jaws 11 avec Windows 10");
    EXPECT_FALSE(view.IsShown(kUpdateButton));
    EXPECT_FALSE(view.IsShown(kAuthorSiteButton));
    EXPECT_FALSE(view.IsShown(kApplicationSiteButton));
    EXPECT_EQ(VisibleButtons(), 0x15u);
    EXPECT_FALSE(Previous()); // hidden on the Welcome page
    EXPECT_EQ(view.Title(), "Vuni pour MonAppli");
    EXPECT_EQ(view.Status(), "Vuni");
    const std::string snapshot = view.Snapshot();
    EXPECT_EQ(snapshot.rfind("[Vuni pour MonAppli]\n", 0), 0u);
    EXPECT_NE(snapshot.find("\n7 * \"Bienvenue"), std::string::npos);
    EXPECT_NE(snapshot.find("\n2   \"&Suivant\"\n"), std::string::npos);
    EXPECT_EQ(snapshot.find("\"Parcourir\""), std::string::npos); // another page
    EXPECT_EQ(snapshot.find("Site de l'auteur"), std::string::npos);
}

TEST_F(WizardWalk, WelcomeTextWithoutVersionCertifiedWithCommentsAndSites) {
    TestPackage p = SamplePackage();
    p.info.scriptSetVersion = "  ";
    p.info.applicationVersion = "";
    p.info.recommendedJawsVersion = " ";
    p.info.recommendedCompanion = "";
    p.info.comments = " A lire ";
    p.info.flags = InfoCertified | InfoUpdateButton;
    p.info.authorSite = "http://auteur.example/";
    p.info.applicationSite = "http://appli.example/";
    std::vector<std::string> opened;
    std::vector<bool> checks;
    services.openText = [&](const std::string& t) { opened.push_back(t); };
    services.checkForNewVersion = [&](bool silent) { checks.push_back(silent); };
    Launch(p);
    EXPECT_EQ(view.Text(kWelcomeText),
              "Bienvenue dans l'assistant d'installation de scripts pour la revue d'écran JAWS "
              "!\nCet assistant va vous guider durant l'installation des scripts, certifiés par "
              "Élodie Auteur, permétant l'amélioration de l'accéssibilité de l'application "
              "MonAppli.\nCommentaires :  A lire ");
    EXPECT_EQ(view.Text(kRecommendedField), "");
    EXPECT_EQ(view.Text(kScriptField), "   pour MonAppli ");
    ASSERT_TRUE(view.Press(kAuthorSiteButton));
    ASSERT_TRUE(view.Press(kApplicationSiteButton));
    ASSERT_TRUE(view.Press(kUpdateButton));
    EXPECT_EQ(opened,
              (std::vector<std::string>{"http://auteur.example/", "http://appli.example/"}));
    EXPECT_EQ(checks, (std::vector<bool>{false}));
    EXPECT_EQ(state.currentPage, kPageWelcome);
}

TEST_F(WizardWalk, PageTableMasksFocusAndPageInUse) {
    Launch(MultiGroupPackage());
    struct Expect {
        int page;
        uint32_t mask;
        int focusNow;
        int pending;
        int pageFocus;
    };
    auto check = [&](const Expect& e) {
        SCOPED_TRACE(e.page);
        EXPECT_EQ(state.currentPage, e.page);
        EXPECT_EQ(VisibleButtons(), e.mask);
        EXPECT_EQ(view.FocusedControl(), e.focusNow);
        EXPECT_EQ(state.focus.pending, e.pending);
        EXPECT_EQ(state.focus.pageFocus, e.pageFocus);
        EXPECT_EQ(state.pageInUse, e.page);
        EXPECT_EQ(view.Text(kHelpButton), "Aide");
        EXPECT_EQ(view.Status(), "Vuni");
        for (int panel : kPages) {
            EXPECT_EQ(view.IsVisible(panel), panel == e.page) << panel;
        }
    };
    check({kPageWelcome, 0x15, kWelcomeText, kNextButton, kNextButton});
    EXPECT_EQ(state.focus.countdown, 100);
    Next();
    check({kPageOperation, 0x17, kOperationChooser, 0, kOperationChooser});
    Next();
    check({kPageFolder, 0x17, kFolderChooser, 0, kFolderChooser});
    Next();
    check({kPageGroup, 0x17, kGroupExplanation, kGroupChooser, kGroupChooser});
    Next();
    check({kPageFiles, 0x17, kFilesHeading, kFileList, kFileList});
    Next();
    check({kPageInstall, 0x1B, kProgressHeading, kProgressBox, kProgressBox});
    EXPECT_TRUE(view.IsShown(kRunButton));
    EXPECT_FALSE(view.IsShown(kNextButton));
    EXPECT_FALSE(Next());    // hidden: only Run sits there
    view.Shortcut(kCmdNext); // Enter: nothing on the Install page
    EXPECT_EQ(state.currentPage, kPageInstall);

    view.Shortcut(kCmdHelp);
    EXPECT_EQ(state.currentPage, kPageViewer);
    EXPECT_EQ(VisibleButtons(), 0x02u);
    EXPECT_EQ(view.FocusedControl(), kViewerBox);
    EXPECT_EQ(state.focus.pageFocus, kViewerBox);
    EXPECT_EQ(state.focus.pending, 0);
    EXPECT_EQ(state.pageInUse, kPageInstall);
    view.Shortcut(kCmdLogPage);
    EXPECT_EQ(state.currentPage, kPageLog);
    EXPECT_EQ(VisibleButtons(), 0x02u);
    EXPECT_EQ(view.FocusedControl(), kLogBox);
    EXPECT_EQ(state.focus.pageFocus, kLogBox);
    EXPECT_EQ(view.Title(), "Vuni - Log");
    EXPECT_EQ(state.pageInUse, kPageInstall);
    Previous();
    EXPECT_EQ(state.currentPage, kPageInstall);
    EXPECT_EQ(view.Title(), "Vuni pour MonAppli");
}

TEST_F(WizardWalk, InstallWithOneGroupSkipsTheGroupPageBothWays) {
    Launch(SamplePackage());
    Next();
    EXPECT_EQ(view.Text(kOperationChooser),
              "Installer les fichiers après la sauvegarde des anciens scrips");
    ASSERT_TRUE(view.Pick(kOperationChooser, "Installer les fichiers"));
    Next();
    EXPECT_EQ(view.Text(kFolderHeading), "Sélectionner le dossier d'installation : ");
    EXPECT_EQ(view.Items(kFolderChooser),
              (std::vector<std::string>{"Jaws 10.0", "Jaws 11.0", "Choix d'un dossier"}));
    EXPECT_EQ(view.Text(kFolderChooser), "Jaws 10.0");
    EXPECT_EQ(view.Items(kLanguageChooser), (std::vector<std::string>{"Français", "Américain"}));
    EXPECT_EQ(view.Text(kLanguageChooser), "Français");
    EXPECT_FALSE(view.IsEnabled(kFreeFolderField));
    EXPECT_FALSE(view.IsEnabled(kBrowseButton));
    ASSERT_TRUE(view.Pick(kLanguageChooser, "Américain"));
    Next();
    ASSERT_EQ(state.currentPage, kPageFiles);
    EXPECT_EQ(state.selection.kind, OperationKind::Install);
    EXPECT_EQ(view.Text(kFilesHeading), "Groupe de fichiers scripts, de Jaws 10, à installer");
    EXPECT_TRUE(view.IsEnabled(kAliasField));
    EXPECT_EQ(view.Text(kAliasField), "MonAppli;monappli");
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"MonAppli.jsm, optionnel",
                                                    "MonAppli.jss, A compiler en premier"}));
    EXPECT_EQ(RowChecks(), (std::vector<bool>{false, true}));
    EXPECT_EQ(view.SelectedRow(), 0);
    EXPECT_EQ(folders[0].scriptPath,
              "C:\\Users\\u\\AppData\\Roaming\\Freedom Scientific\\JAWS\\10.0\\Settings\\enu\\");

    Next();
    ASSERT_EQ(state.currentPage, kPageInstall);
    EXPECT_EQ(view.Text(kRunButton), "Installer");
    EXPECT_EQ(view.ProgressLines().Text(),
              "* Déscription du groupe de fichiers scripts :\n"
              " Pour l'application : MonAppli 1.2\n"
              " Version : 2.1\n"
              " Auteur  :\n"
              " Fonctionnant avec Jaws 10\n"
              "\n"
              "* Dossier de destination : \n"
              " Jaws 10.0, Américain\n"
              " C:\\Users\\u\\AppData\\Roaming\\Freedom Scientific\\JAWS\\10.0\\Settings\\enu\\\n"
              "\n"
              "* Installer les fichiers\n"
              "\n");
    EXPECT_EQ(view.CaretRequests(), (std::vector<int>{kProgressBox}));

    // Back to Welcome: Files, Folder (no Group page), Operation, Welcome.
    Previous();
    EXPECT_EQ(state.currentPage, kPageFiles);
    Previous();
    EXPECT_EQ(state.currentPage, kPageFolder);
    EXPECT_EQ(view.Text(kFolderChooser), "Jaws 10.0");
    EXPECT_EQ(view.Text(kLanguageChooser), "Américain");
    Previous();
    EXPECT_EQ(state.currentPage, kPageOperation);
    Previous();
    EXPECT_EQ(state.currentPage, kPageWelcome);
    EXPECT_FALSE(Previous());
    view.Shortcut(kCmdPrevious);
    EXPECT_EQ(state.currentPage, kPageWelcome);

    // Forward again: the summary is written anew, the log keeps its lines.
    const size_t logLines = view.LogLines().LineCount();
    Next();
    Next();
    Next();
    Next();
    EXPECT_EQ(view.ProgressLines().LineCount(), 12u);
    EXPECT_GE(view.LogLines().LineCount(), logLines);
}

TEST_F(WizardWalk, InstallAfterBackupIsTheDefaultKind) {
    Launch(SamplePackage());
    Next();
    Next();
    Next();
    EXPECT_EQ(state.selection.kind, OperationKind::InstallWithBackup);
    EXPECT_EQ(view.Text(kFilesHeading), "Groupe de fichiers scripts, de Jaws 10, à installer");
    Next();
    EXPECT_EQ(view.Text(kRunButton), "Installer");
    EXPECT_EQ(view.ProgressLines().Lines()[10],
              "* Installer les fichiers après la sauvegarde des anciens scrips");
}

TEST_F(WizardWalk, CopyKindUsesTheFreeFolderAsTyped) {
    Launch(SamplePackage());
    Next();
    ASSERT_TRUE(view.Pick(kOperationChooser, "Copier les fichiers dans un dossier"));
    Next();
    EXPECT_EQ(view.Text(kFolderHeading), "Sélectionner le dossier pour la copie : ");
    EXPECT_EQ(view.Text(kFolderChooser), "Choix d'un dossier");
    EXPECT_TRUE(view.IsEnabled(kFreeFolderLabel));
    EXPECT_TRUE(view.IsEnabled(kFreeFolderField));
    EXPECT_TRUE(view.IsEnabled(kBrowseButton));
    EXPECT_FALSE(view.IsEnabled(kLanguageChooser));
    EXPECT_EQ(view.Items(kLanguageChooser).size(), 2u); // kept, only disabled
    Next();
    ASSERT_EQ(state.currentPage, kPageFiles);
    EXPECT_EQ(view.Text(kFilesHeading), "Groupe de fichiers scripts, de Jaws 10, à copier");
    EXPECT_FALSE(view.IsEnabled(kAliasField));
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"MonAppli.jsm", "MonAppli.jss"}));
    EXPECT_EQ(folders[3].scriptPath, "C:\\Start");
    Next();
    EXPECT_EQ(view.Text(kRunButton), "Copier");
    EXPECT_EQ(view.ProgressLines().Lines()[7], " Choix d'un dossier, ");
    EXPECT_EQ(view.ProgressLines().Lines()[8], " C:\\Start");

    // Going back does not move the folder selection; browsing changes the field.
    Previous();
    Previous();
    ASSERT_EQ(state.currentPage, kPageFolder);
    EXPECT_EQ(view.Text(kFolderChooser), "Choix d'un dossier");
    ASSERT_TRUE(view.Press(kBrowseButton)); // cancelled
    EXPECT_EQ(view.Text(kFreeFolderField), "C:\\Start");
    view.QueueFolder(std::string("D:\\Mes scripts"));
    ASSERT_TRUE(view.Press(kBrowseButton));
    ASSERT_EQ(view.FolderRequests().size(), 2u);
    EXPECT_EQ(view.FolderRequests()[1].title, "Choix du dossier : ");
    EXPECT_EQ(view.FolderRequests()[1].startFolder, "C:\\Start");
    EXPECT_EQ(view.Text(kFreeFolderField), "D:\\Mes scripts\\");
    Next();
    Next();
    EXPECT_EQ(view.ProgressLines().Lines()[8], " D:\\Mes scripts\\");
}

TEST_F(WizardWalk, CopyKindFromOperationPreselectsTheFreeFolderEvenAfterAnotherChoice) {
    Launch(SamplePackage());
    Next();
    Next();
    ASSERT_TRUE(view.Pick(kFolderChooser, "Jaws 11.0"));
    Previous();
    ASSERT_TRUE(view.Pick(kOperationChooser, "Copier les fichiers dans un dossier"));
    Next();
    EXPECT_EQ(view.Text(kFolderChooser), "Choix d'un dossier");
}

TEST_F(WizardWalk, RemovalListsOnlyMergeFilesOfTheGroup) {
    Launch(MultiGroupPackage());
    WalkToFiles("Retirer l'association du Default.JSS", "Jaws 10.0");
    EXPECT_EQ(view.Text(kFilesHeading),
              "Groupe de fichiers scripts, de Jaws 10.0, pour retirer l'association avec le "
              "Default.JSS");
    EXPECT_EQ(view.Text(kFolderHeading),
              "Sélectionner le dossier d'où doit être retirer l'association : ");
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"Default.jsm"}));
    // The menu offers nothing to toggle in this kind.
    view.QueueMenuChoice(kMenuAssociation);
    view.Shortcut(kCmdContextMenu);
    ASSERT_EQ(view.Menus().size(), 1u);
    EXPECT_FALSE(view.Menus()[0].associationEnabled);
    EXPECT_FALSE(view.Menus()[0].compileEnabled);
    EXPECT_EQ(package.entries[2].flags, EntryAssociable);
    Next();
    EXPECT_EQ(view.Text(kRunButton), "Retirer");
}

TEST_F(WizardWalk, SeveralGroupsTheRunningVersionAndKeptChoices) {
    Launch(MultiGroupPackage(), "11");
    Next();
    Next();
    EXPECT_EQ(view.Text(kFolderChooser), "Jaws 11.0 en fonctionnement");
    EXPECT_EQ(view.Items(kLanguageChooser), (std::vector<std::string>{"Américain"}));
    Next();
    ASSERT_EQ(state.currentPage, kPageGroup);
    EXPECT_EQ(view.Items(kGroupChooser), (std::vector<std::string>{"Jaws 10.0", "Jaws 11.0"}));
    EXPECT_EQ(view.Text(kGroupChooser), "Jaws 11.0");
    EXPECT_EQ(view.Text(kAliasField), "MonAppli;Autre");
    Next();
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"aide.txt, optionnel, dans \\Doc",
                                                    "Onze.jss, A compiler en premier"}));
    Previous();
    ASSERT_EQ(state.currentPage, kPageGroup);
    ASSERT_TRUE(view.Pick(kGroupChooser, "Jaws 10.0"));
    Next();
    EXPECT_EQ(state.selection.chosenGroup, 0);
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{
                              "Default.jsm, Autoriser l'association avec le Default.JSS et "
                              "compiler en 3ème",
                              "MonAppli.jsm, optionnel", "MonAppli.jss, A compiler en premier"}));
    EXPECT_EQ(view.Text(kAliasField), "MonAppli");
    Previous();
    EXPECT_EQ(view.Text(kGroupChooser), "Jaws 10.0");
    Previous();
    ASSERT_EQ(state.currentPage, kPageFolder);
    EXPECT_EQ(view.Text(kFolderChooser), "Jaws 11.0 en fonctionnement");
    Next();
    EXPECT_EQ(view.Text(kGroupChooser), "Jaws 10.0"); // kept by its shown text
}

TEST_F(WizardWalk, NoGroupMatchesTheRunningVersion) {
    Launch(MultiGroupPackage(), "12");
    Next();
    Next();
    Next();
    EXPECT_EQ(view.Text(kGroupChooser), "Jaws 10.0");
}

TEST_F(WizardWalk, SharedFolderWarnsAtEveryNextAndTheSwitchKeepsTheShownFolder) {
    Launch(MultiGroupPackage());
    Next();
    Next();
    ASSERT_TRUE(view.Pick(kFolderChooser, "Jaws 11.0"));
    ASSERT_TRUE(view.Press(kSharedCheckBox));
    EXPECT_TRUE(state.selection.includeShared);
    EXPECT_EQ(view.Items(kFolderChooser).size(), 4u);
    EXPECT_EQ(view.Text(kFolderChooser), "Jaws 11.0");
    ASSERT_TRUE(view.Pick(kFolderChooser, "Jaws 11.0 (partagé)"));
    for (int round = 1; round <= 2; ++round) {
        Next();
        ASSERT_EQ(view.Messages().size(), static_cast<size_t>(round));
        EXPECT_EQ(view.Messages().back().title, "Info");
        EXPECT_EQ(view.Messages().back().kind, MessageKind::Info);
        EXPECT_EQ(view.Messages().back().text,
                  "Vous avez selectionné un dossier de paramètres partagés.\nLes modifications "
                  "vont affecter les fonctionnalités \n de tous les utilisateurs de cet "
                  "ordinateur !");
        EXPECT_EQ(state.currentPage, kPageGroup);
        Previous();
    }
    EXPECT_EQ(folders[2].scriptPath,
              "C:\\ProgramData\\Freedom Scientific\\JAWS\\11.0\\Settings\\enu\\");
    ASSERT_TRUE(view.Pick(kFolderChooser, "Jaws 10.0"));
    ASSERT_TRUE(view.Press(kSharedCheckBox)); // off again
    EXPECT_EQ(view.Items(kFolderChooser).size(), 3u);
    EXPECT_EQ(view.Text(kFolderChooser), "Jaws 10.0");
    Next();
    EXPECT_EQ(view.Messages().size(), 2u);
}

TEST_F(WizardWalk, FolderWithoutLanguagesDisablesTheLanguageChooser) {
    folders[1].languages = "";
    Launch(SamplePackage());
    Next();
    Next();
    ASSERT_TRUE(view.Pick(kFolderChooser, "Jaws 11.0"));
    EXPECT_FALSE(view.IsEnabled(kLanguageChooser));
    EXPECT_TRUE(view.Items(kLanguageChooser).empty());
    ASSERT_TRUE(view.Pick(kFolderChooser, "Jaws 10.0"));
    EXPECT_TRUE(view.IsEnabled(kLanguageChooser));
    EXPECT_EQ(view.Text(kLanguageChooser), "Français");
}

TEST_F(WizardWalk, CheckMarksTogglesAndRebuilds) {
    Launch(MultiGroupPackage());
    WalkToFiles("Installer les fichiers", "Jaws 10.0");
    // Rows: Default.jsm, MonAppli.jsm (optional), MonAppli.jss.
    EXPECT_EQ(RowChecks(), (std::vector<bool>{true, false, true}));
    ASSERT_TRUE(view.CheckRow(2, false)); // a required file
    ASSERT_TRUE(view.CheckRow(1, true));
    EXPECT_FALSE(state.selection.rows[2].checked);
    EXPECT_FALSE(view.CheckRow(7, true));

    // A disabled item cannot be chosen: nothing is rebuilt, the user's marks stay.
    ASSERT_TRUE(view.ClickRow(0));
    view.QueueMenuChoice(kMenuCompile);
    ASSERT_TRUE(view.Press(kContextMenuButton));
    ASSERT_EQ(view.Menus().size(), 1u);
    EXPECT_FALSE(view.Menus()[0].compileEnabled); // Default.jsm is not compilable
    EXPECT_TRUE(view.Menus()[0].associationEnabled);
    EXPECT_EQ(RowChecks(), (std::vector<bool>{true, true, false}));
    // Toggling compilation of another file restores the default marks.
    ASSERT_TRUE(view.ClickRow(2));
    view.QueueMenuChoice(kMenuCompile);
    view.RightClick();
    EXPECT_EQ(view.Menus()[1].compileText, "Ne pas compiler");
    EXPECT_NE(package.entries[0].flags & EntryNoCompile, 0);
    EXPECT_EQ(RowTexts()[2], "MonAppli.jss, Ne pas compiler");
    EXPECT_EQ(RowChecks(), (std::vector<bool>{true, false, true})); // default marks again
    EXPECT_EQ(view.SelectedRow(), 2);
    view.QueueMenuChoice(kMenuCompile);
    view.Shortcut(kCmdContextMenu);
    EXPECT_EQ(view.Menus()[2].compileText, "A compiler");
    EXPECT_EQ(RowTexts()[2], "MonAppli.jss, A compiler en premier");

    ASSERT_TRUE(view.ClickRow(0));
    view.QueueMenuChoice(kMenuAssociation);
    view.Shortcut(kCmdContextMenu);
    EXPECT_EQ(RowTexts()[0], "Default.jsm, Ne pas autoriser l'association avec le Default.JSS");

    // Ctrl+A checks every row; the model follows.
    view.Shortcut(kCmdCheckAll);
    EXPECT_EQ(RowChecks(), (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(state.selection.rows[1].checked);
    EXPECT_TRUE(view.SelectAllRequests().empty());

    // The Install page keeps the marks; coming back rebuilds them.
    Next();
    EXPECT_TRUE(state.selection.rows[1].checked);
    Previous();
    EXPECT_EQ(RowChecks(), (std::vector<bool>{true, false, true}));
}

TEST_F(WizardWalk, ContextMenuOnlyOnTheFilesPageWithRows) {
    TestPackage p = SamplePackage();
    p.files[0].groupIndex = 5; // a group that does not exist
    p.files[1].groupIndex = 5;
    Launch(p);
    view.Shortcut(kCmdContextMenu);
    view.RightClick();
    EXPECT_TRUE(view.Menus().empty());
    WalkToFiles("Installer les fichiers", "Jaws 10.0");
    EXPECT_TRUE(view.Rows().empty());
    view.Shortcut(kCmdContextMenu);
    view.RightClick();
    view.Press(kContextMenuButton);
    view.Shortcut(kMenuView);
    view.Shortcut(kMenuCompile);
    view.Shortcut(kCmdCheckAll);
    EXPECT_TRUE(view.Menus().empty());
    EXPECT_EQ(state.currentPage, kPageFiles);
    Next();
    EXPECT_EQ(state.currentPage, kPageInstall);
}

TEST_F(WizardWalk, AliasEditsAreStoredInTheGroup) {
    Launch(MultiGroupPackage());
    WalkToFiles("Installer les fichiers", "Jaws 10.0");
    ASSERT_TRUE(view.Type(kAliasField, "Nouveau;alias"));
    EXPECT_EQ(package.groups[0].alias, "Nouveau;alias");
    EXPECT_EQ(package.groups[1].alias, "MonAppli;Autre");
    Previous();
    Next();
    EXPECT_EQ(view.Text(kAliasField), "Nouveau;alias");
}

TEST_F(WizardWalk, RestartBoxFollowsThePackageAndTheUser) {
    TestPackage p = SamplePackage();
    p.info.flags = InfoRestartJaws;
    Launch(p);
    EXPECT_TRUE(state.selection.restartJaws);
    EXPECT_TRUE(view.IsChecked(kRestartCheckBox));
    Next();
    ASSERT_TRUE(view.Press(kRestartCheckBox));
    EXPECT_FALSE(state.selection.restartJaws);
}

TEST_F(WizardWalk, WithoutMergeFilesThreeOperationsAndTheBackupDefault) {
    Launch(SamplePackage());
    EXPECT_EQ(view.Items(kOperationChooser).size(), 3u);
    EXPECT_EQ(view.SelectedItem(kOperationChooser), 1);
    EXPECT_FALSE(view.Pick(kOperationChooser, "Retirer l'association du Default.JSS"));
}

TEST_F(WizardWalk, GroupListMismatchShowsTheLogWithCancelAlone) {
    Launch(MultiGroupPackage());
    Next();
    Next();
    Next();
    ASSERT_EQ(state.currentPage, kPageGroup);
    view.ClearItems(kGroupChooser); // the chooser lost its items
    Next();
    EXPECT_EQ(view.LogLines().Lines().back(), "! CroupList$()=2 and #GroupFileListG=0");
    EXPECT_EQ(state.currentPage, kPageLog);
    EXPECT_EQ(VisibleButtons(), 0x01u);
    EXPECT_EQ(state.pageInUse, kPageGroup);
    EXPECT_EQ(state.selection.chosenGroup, 0);
    EXPECT_EQ(view.FocusedControl(), kGroupExplanation); // unchanged
}

TEST_F(WizardWalk, UnknownPageInUseGoesToTheLog) {
    Launch(SamplePackage());
    view.Shortcut(kCmdLogPage);
    state.pageInUse = 42;
    Previous();
    EXPECT_EQ(view.LogLines().Lines().back(), "! Error, MemPageInUse = 42");
    EXPECT_EQ(state.currentPage, kPageLog);
    EXPECT_EQ(view.Title(), "Vuni - Log");
    EXPECT_EQ(VisibleButtons(), 0x02u);
}

TEST_F(WizardWalk, RunServicesAndTheFinalState) {
    int security = 0;
    int runs = 0;
    services.checkSensitiveFunctions = [&] {
        ++security;
        log.ProgressLine("- check");
    };
    services.runOperations = [&] {
        ++runs;
        // What the runner leaves behind.
        state.operationDone = true;
        view.SetText(kCancelButton, "Fermer");
        for (int b : {kNextButton, kPreviousButton, kRunButton}) {
            view.SetEnabled(b, false);
        }
    };
    Launch(SamplePackage());
    WalkToFiles("Installer les fichiers", "Jaws 10.0");
    ASSERT_TRUE(view.CheckRow(0, true));
    Next();
    EXPECT_EQ(security, 1);
    EXPECT_EQ(view.ProgressLines().Lines().back(), "- check");
    ASSERT_TRUE(view.Press(kRunButton));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(state.selection.rows[0].checked);
    EXPECT_FALSE(view.Press(kRunButton));
    view.Shortcut(kCmdPrevious);
    EXPECT_EQ(state.currentPage, kPageInstall);
    view.Shortcut(kCmdHelp);
    Previous();
    EXPECT_EQ(state.currentPage, kPageInstall);
    EXPECT_EQ(VisibleButtons(), 0x01u);
    EXPECT_EQ(view.Text(kCancelButton), "Fermer");
    EXPECT_EQ(security, 1); // the summary is not rebuilt after the run
    EXPECT_FALSE(state.quitRequested);
    ASSERT_TRUE(view.Press(kCancelButton));
    EXPECT_TRUE(state.quitRequested);
}

TEST_F(WizardWalk, WithoutServicesRunAndUpdateDoNothing) {
    TestPackage p = SamplePackage();
    p.info.flags = InfoUpdateButton;
    Launch(p);
    ASSERT_TRUE(view.Press(kUpdateButton));
    EXPECT_EQ(state.currentPage, kPageWelcome);
    WalkToFiles("Installer les fichiers", "Jaws 10.0");
    Next();
    const size_t lines = view.ProgressLines().LineCount();
    ASSERT_TRUE(view.Press(kRunButton));
    EXPECT_FALSE(state.operationDone);
    EXPECT_EQ(view.ProgressLines().LineCount(), lines);
    view.Close();
    EXPECT_TRUE(state.quitRequested);
}

} // namespace
} // namespace vuni::testing
