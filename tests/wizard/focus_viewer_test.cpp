// Deferred focus, window activation, help from every page and the internal file viewer.
#include "wizard/help.h"
#include "wizard_fixture.h"

#include <filesystem>

namespace vuni::testing {
namespace {

using namespace ctl;

class FocusAndViewer : public WizardFixture {};

TEST_F(FocusAndViewer, DeferredFocusAfterWelcomeAndAfterAPage) {
    Launch(MultiGroupPackage());
    EXPECT_EQ(view.FocusedControl(), kWelcomeText);
    view.Idle(99);
    EXPECT_EQ(view.FocusedControl(), kWelcomeText);
    view.Idle(1);
    EXPECT_EQ(view.FocusedControl(), kNextButton);
    EXPECT_EQ(state.focus.pending, 0);
    view.Idle(500);
    EXPECT_EQ(view.FocusHistory().size(), 2u); // nothing more without a pending control

    Next(); // Operation: focus at once, nothing pending
    view.Idle(200);
    EXPECT_EQ(view.FocusedControl(), kOperationChooser);
    Next();
    Next(); // Group: heading now, chooser after the countdown
    EXPECT_EQ(view.FocusedControl(), kGroupExplanation);
    view.Idle(50);
    EXPECT_EQ(view.FocusedControl(), kGroupExplanation);
    view.Idle(1);
    EXPECT_EQ(view.FocusedControl(), kGroupChooser);

    // A page shown while a focus is pending cancels it.
    Next();
    view.Idle(10);
    Previous();
    view.Idle(51);
    EXPECT_EQ(view.FocusedControl(), kGroupChooser);
    EXPECT_EQ(state.currentPage, kPageGroup);
}

TEST_F(FocusAndViewer, ActivationReturnsTheFocusToWhereItWas) {
    Launch(SamplePackage());
    // While a focus is pending, activation gives the heading its focus back and leaves the
    // pending control to come in its time.
    view.Deactivate();
    view.Activate();
    EXPECT_EQ(view.FocusedControl(), kWelcomeText);
    view.Idle(99);
    EXPECT_EQ(view.FocusedControl(), kWelcomeText);
    view.Idle(1);
    EXPECT_EQ(view.FocusedControl(), kNextButton);
    // Nothing remembered yet... but the Next button had the focus when the window was left.
    view.UserFocus(kHelpButton);
    view.Deactivate();
    EXPECT_EQ(state.focus.remembered, kHelpButton);
    view.Activate();
    EXPECT_EQ(view.FocusedControl(), kHelpButton);

    // Without a remembered control the page focus control is used.
    state.focus.remembered = 0;
    Next();
    view.Deactivate();
    state.focus.remembered = 0;
    view.Activate();
    EXPECT_EQ(view.FocusedControl(), kOperationChooser);
    // A remembered number that names no control falls back to the page focus control.
    state.focus.remembered = 9999;
    view.Activate();
    EXPECT_EQ(view.FocusedControl(), kOperationChooser);
    // A remembered control disabled or hidden since, too.
    view.UserFocus(kNextButton);
    view.Deactivate();
    view.SetEnabled(kNextButton, false);
    view.Activate();
    EXPECT_EQ(view.FocusedControl(), kOperationChooser);
    view.SetEnabled(kNextButton, true);
    view.SetVisible(kNextButton, false);
    view.Activate();
    EXPECT_EQ(view.FocusedControl(), kOperationChooser);
    view.SetVisible(kNextButton, true);
    // A control of a page no longer shown, though itself neither hidden nor disabled.
    ASSERT_TRUE(view.IsVisible(kFolderChooser) && view.IsEnabled(kFolderChooser));
    state.focus.remembered = kFolderChooser;
    view.Activate();
    EXPECT_EQ(view.FocusedControl(), kOperationChooser);
    // After an operation the runner's choice wins over the page's own.
    wizard->FocusAndRemember(kCancelButton);
    view.Deactivate();
    view.Activate();
    EXPECT_EQ(view.FocusedControl(), kCancelButton);
    EXPECT_EQ(state.focus.pageFocus, kCancelButton);
}

TEST_F(FocusAndViewer, HelpTextHasSevenSectionsWithTheirTitles) {
    const std::string& text = HelpText();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\xB6'), 6);
    EXPECT_EQ(HelpSection(3).rfind(" Page des Opérations", 0), 0u);
    EXPECT_EQ(HelpSection(4).rfind(" Page du dossier", 0), 0u);
    EXPECT_EQ(HelpSection(5).rfind(" Page des groupes de fichiers", 0), 0u);
    EXPECT_EQ(HelpSection(6).rfind(" La page des fichiers :", 0), 0u);
    EXPECT_EQ(HelpSection(7).rfind(" La page d'installation :", 0), 0u);
    for (size_t n = 1; n <= 7; ++n) {
        EXPECT_EQ(HelpSection(n).substr(0, 1), " ") << n;
        EXPECT_EQ(HelpSection(n).find('\xB6'), std::string::npos);
    }
    EXPECT_EQ(HelpSection(8), "");
    EXPECT_NE(HelpSection(3).find("Bak"), std::string::npos);
    EXPECT_NE(HelpSection(4).find("Choix d'un dossier"), std::string::npos);
}

TEST_F(FocusAndViewer, HelpFromEveryPageAndBack) {
    Launch(MultiGroupPackage());
    struct Step {
        int page;
        std::string help;
    };
    const std::vector<Step> steps = {
        {kPageWelcome, "Pas d'aide sur cette page !"},
        {kPageOperation, HelpSection(3)},
        {kPageFolder, HelpSection(4)},
        {kPageGroup, HelpSection(5)},
        {kPageFiles, HelpSection(6)},
        {kPageInstall, HelpSection(7)},
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(steps[i].page);
        ASSERT_EQ(state.currentPage, steps[i].page);
        ASSERT_TRUE(view.Press(kHelpButton));
        EXPECT_EQ(state.currentPage, kPageViewer);
        EXPECT_EQ(view.Text(kViewerBox), steps[i].help);
        EXPECT_EQ(view.Text(kViewerCaption), "Source");
        EXPECT_EQ(view.Text(kViewerName), "Aide logicielle");
        EXPECT_EQ(view.Title(), "Vuni - Aide ");
        // F1 on the viewer and on the log page shows the help of the page in use.
        view.Shortcut(kCmdLogPage);
        view.Shortcut(kCmdHelp);
        EXPECT_EQ(view.Text(kViewerBox), steps[i].help);
        view.Shortcut(kCmdLogPage);
        view.Shortcut(kCmdPrevious);
        EXPECT_EQ(state.currentPage, steps[i].page);
        EXPECT_EQ(view.Title(), "Vuni pour MonAppli");
        if (i + 1 < steps.size()) {
            ASSERT_TRUE(Next());
        }
    }
}

TEST_F(FocusAndViewer, ViewerShowsTextUpToTheFirstZeroByteAndReturns) {
    TestPackage p = SamplePackage();
    TestFile compiled;
    compiled.sourceName = "MonAppli.jsb";
    compiled.compileOrder = 0;
    compiled.content = std::string("JSB\x01", 4) + std::string(1, '\0') + "caché";
    p.files.push_back(compiled);
    Launch(p);
    WalkToFiles("Installer les fichiers", "Jaws 10.0");
    // Rows: MonAppli.jsb, MonAppli.jsm, MonAppli.jss.
    ASSERT_EQ(view.Rows().size(), 3u);
    ASSERT_TRUE(view.CheckRow(1, true));
    ASSERT_TRUE(view.ClickRow(2));
    view.QueueMenuChoice(kMenuView);
    view.Shortcut(kCmdContextMenu);
    ASSERT_EQ(state.currentPage, kPageViewer);
    EXPECT_EQ(view.Text(kViewerBox), p.files[0].content);
    EXPECT_EQ(view.Title(), "Vuni - Visualisation de fichier");
    EXPECT_EQ(view.Text(kViewerCaption), "Fichier interne :");
    EXPECT_EQ(view.Text(kViewerName), "MonAppli.jss");
    EXPECT_EQ(view.FocusedControl(), kViewerBox);
    EXPECT_EQ(VisibleButtons(), 0x02u);
    EXPECT_EQ(package.currentEntry, 0);
    // Ctrl+A in a multi-line box selects its text.
    view.Shortcut(kCmdCheckAll);
    EXPECT_EQ(view.SelectAllRequests(), (std::vector<int>{kViewerBox}));

    Previous();
    EXPECT_EQ(state.currentPage, kPageFiles);
    EXPECT_EQ(RowChecks(), (std::vector<bool>{true, false, true})); // rebuilt
    EXPECT_EQ(view.Title(), "Vuni pour MonAppli");

    ASSERT_TRUE(view.ClickRow(0));
    view.Shortcut(kMenuView);
    EXPECT_EQ(view.Text(kViewerBox), "JSB\x01");
    EXPECT_TRUE(view.Messages().empty());
}

TEST_F(FocusAndViewer, UnreadableFileOrBadIndexReturnsToThePageInUse) {
    Launch(SamplePackage());
    WalkToFiles("Installer les fichiers", "Jaws 10.0");
    wizard->ShowFile(99);
    ASSERT_EQ(view.Messages().size(), 1u);
    EXPECT_EQ(view.Messages()[0].title, "Erreur");
    EXPECT_EQ(view.Messages()[0].text, "Impossible d'accéder au fichier !");
    EXPECT_EQ(view.Messages()[0].kind, MessageKind::Error);
    EXPECT_EQ(state.currentPage, kPageFiles);
    EXPECT_EQ(view.Title(), "Vuni pour MonAppli");
    wizard->ShowFile(-1);
    EXPECT_EQ(view.Messages().size(), 2u);

    // The program file lost its tail: the entry's bytes cannot all be read.
    const auto file = dir.Path() / "c" / "setup.exe";
    std::filesystem::resize_file(file, static_cast<uintmax_t>(package.entries[1].dataOffset) + 1);
    ASSERT_TRUE(view.ClickRow(0)); // MonAppli.jsm, the last entry
    view.QueueMenuChoice(kMenuView);
    view.Shortcut(kCmdContextMenu);
    EXPECT_EQ(view.Messages().size(), 3u);
    EXPECT_EQ(state.currentPage, kPageFiles);
    EXPECT_EQ(view.Text(kViewerBox), "");
    // The box says it: the log keeps only the range load's own lines, no extraction error.
    EXPECT_NE(view.LogLines().Lines().back(), "! Can't access to file ! ");
}

TEST_F(FocusAndViewer, SelectAllInTheLogBoxOnly) {
    Launch(SamplePackage());
    view.Shortcut(kCmdCheckAll); // the welcome text is not a box
    EXPECT_TRUE(view.SelectAllRequests().empty());
    view.Shortcut(kCmdLogPage);
    view.Shortcut(kCmdCheckAll);
    EXPECT_EQ(view.SelectAllRequests(), (std::vector<int>{kLogBox}));
}

TEST_F(FocusAndViewer, TheLogPageHoldsThePackageReadingLines) {
    Launch(SamplePackage());
    view.Shortcut(kCmdLogPage);
    ASSERT_FALSE(view.LogLines().Lines().empty());
    EXPECT_EQ(view.LogLines().Lines()[0], "* File Scan : C:\\setup.exe");
}

} // namespace
} // namespace vuni::testing
