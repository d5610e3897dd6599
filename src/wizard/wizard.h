// The wizard's pages: what each page shows, Next and Previous, the control and menu
// handlers, help and the file viewer, and the focus rules built for screen-reader users
// (a page focuses its heading at once and its main control some idle ticks later).
#pragma once

#include "jaws/settings_folder.h"
#include "wizard/selection.h"
#include "wizard/view.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vuni {

class Host;
class Log;
struct PackageState;

// Idle ticks before the first focus after start-up, and after any later page.
constexpr int kStartFocusTicks = 100;
constexpr int kPageFocusTicks = 50;

struct FocusState {
    int pageFocus = 0;  // focused when the window is activated and nothing better is known
    int remembered = 0; // the control that had the focus when the window lost activation
    int pending = 0;    // focused by DeferredFocus when the countdown ends
    int countdown = 0;
};

// Everything the wizard keeps between two events; the program's state owns it.
struct WizardState {
    WizardSelection selection;
    FocusState focus;
    int currentPage = 0; // set only by ShowPage
    int pageInUse = 0;   // the last of the six wizard pages shown
    bool operationDone = false;
    bool quitRequested = false;
};

// What the wizard hands over to other parts of the program. A service left empty does
// nothing.
struct WizardServices {
    std::function<void()> runOperations;                 // the Run button
    std::function<void()> checkSensitiveFunctions;       // before the Install page is shown
    std::function<void(bool silent)> checkForNewVersion; // the update button (not silent)
    // Opens a web address or document; Host::ShellOpen when empty.
    std::function<void(const std::string&)> openText;
};

class Wizard : public ViewEvents {
public:
    Wizard(WizardState& state, View& view, Log& log, Host& host, PackageState& package,
           std::vector<SettingsFolder>& folders, const std::string& runningJawsVersion,
           WizardServices services = {});

    WizardState& State() { return state_; }
    WizardSelection& Selection() { return state_.selection; }

    // Start-up: the operation list, the destination folders and languages, the restart box.
    void FillLists();
    // Start-up: the welcome page, with the first deferred focus 100 idle ticks away.
    void Start();
    // "Vuni pour " + application name.
    std::string WizardTitle() const;

    // ---- pages
    void ShowPage(int page, uint32_t mask);
    void ShowWelcome();
    void ShowOperation();
    void ShowFolder(bool forward);
    void ShowGroup();
    // false when the group list and the chooser disagree: the log page is then shown.
    bool ShowFiles();
    void ShowInstall();
    void ShowLogPage();
    void ReturnToPageInUse();
    void Next();
    void Previous();

    // ---- help and the file viewer
    void ShowHelp();
    void ShowFile(int entryIndex);

    // ---- the file list and its menu
    void ShowContextMenu();
    void CheckAllOrSelectAll();

    // ---- focus
    void DeferredFocus();
    void WindowActivated();
    void WindowDeactivated();

    // ---- ViewEvents
    void OnControl(int control, ControlEvent event) override;
    void OnMenu(int command) override;
    void OnRightButton() override { ShowContextMenu(); }
    void OnActivated() override { WindowActivated(); }
    void OnDeactivated() override { WindowDeactivated(); }
    void OnIdle() override { DeferredFocus(); }
    void OnCloseRequest() override { state_.quitRequested = true; }

private:
    void FocusNow(int control);
    void SetPending(int control);
    void MarkPageInUse(int page);
    void RebuildFolderChoices();
    void RebuildLanguageChoices();
    void CommitFolderFromView();
    void RebuildGroupChoices();
    bool SelectGroupFromView();
    bool RebuildFileRows(int select);
    void ShowRows();
    void ReadRowsFromView();
    void ShowViewerPage();
    void OpenText(const std::string& text);

    WizardState& state_;
    View& view_;
    Log& log_;
    Host& host_;
    PackageState& package_;
    std::vector<SettingsFolder>& folders_;
    const std::string& runningJawsVersion_;
    WizardServices services_;
};

} // namespace vuni
