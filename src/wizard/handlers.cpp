// The control and menu handlers, the glue between the selection model and the window, and
// the focus rules.
#include "log/log.h"
#include "package/package.h"
#include "platform/host.h"
#include "text/text.h"
#include "wizard/controls.h"
#include "wizard/wizard.h"

namespace vuni {

using namespace ctl;

// ---- model and window ----------------------------------------------------------------

void Wizard::RebuildFolderChoices() {
    const Choices c = FolderChoices(state_.selection, folders_, view_.Text(kFolderChooser));
    view_.ClearItems(kFolderChooser);
    for (const std::string& item : c.items) {
        view_.AddItem(kFolderChooser, item);
    }
    if (!c.items.empty()) {
        view_.SelectItem(kFolderChooser, c.defaultIndex);
    }
    RebuildLanguageChoices();
}

void Wizard::RebuildLanguageChoices() {
    const LanguageChoices lc =
        BuildLanguageChoices(state_.selection, folders_, view_.SelectedItem(kFolderChooser),
                             view_.ItemCount(kFolderChooser), view_.Text(kLanguageChooser));
    if (lc.freeFolder) {
        view_.SetEnabled(kLanguageChooser, false);
        for (int c : {kFreeFolderLabel, kFreeFolderField, kBrowseButton}) {
            view_.SetEnabled(c, true);
        }
        return;
    }
    for (int c : {kFreeFolderLabel, kFreeFolderField, kBrowseButton}) {
        view_.SetEnabled(c, false);
    }
    view_.SetEnabled(kLanguageLabel, true);
    view_.SetEnabled(kLanguageChooser, true);
    view_.ClearItems(kLanguageChooser);
    for (const std::string& item : lc.choices.items) {
        view_.AddItem(kLanguageChooser, item);
    }
    if (!lc.choices.items.empty()) {
        view_.SelectItem(kLanguageChooser, lc.choices.defaultIndex);
    }
    if (!lc.languageEnabled) {
        view_.SetEnabled(kLanguageChooser, false);
    }
}

void Wizard::CommitFolderFromView() {
    CommitFolder(state_.selection, folders_, view_.SelectedItem(kFolderChooser),
                 view_.Text(kLanguageChooser), view_.Text(kFreeFolderField));
}

void Wizard::RebuildGroupChoices() {
    const Choices c = GroupChoices(state_.selection, package_.groups, view_.Text(kGroupChooser),
                                   runningJawsVersion_);
    view_.ClearItems(kGroupChooser);
    for (const std::string& item : c.items) {
        view_.AddItem(kGroupChooser, item);
    }
    if (!c.items.empty()) {
        view_.SelectItem(kGroupChooser, c.defaultIndex);
    }
    const int g = state_.selection.chosenGroup;
    if (g >= 0 && static_cast<size_t>(g) < package_.groups.size()) {
        view_.SetText(kAliasField, package_.groups[static_cast<size_t>(g)].alias);
    }
}

bool Wizard::SelectGroupFromView() {
    const int count = view_.ItemCount(kGroupChooser);
    const GroupSelect r =
        SelectGroup(state_.selection, package_.groups, view_.SelectedItem(kGroupChooser), count);
    if (!r.ok) {
        log_.LogLine(GroupMismatchLine(package_.groups.size(), count));
        ShowPage(kPageLog, kMaskCancel);
        return false;
    }
    if (r.selectFirstItem) {
        view_.SelectItem(kGroupChooser, 0);
    }
    view_.SetText(kAliasField, package_.groups[static_cast<size_t>(r.index)].alias);
    return true;
}

bool Wizard::RebuildFileRows(int select) {
    if (!SelectGroupFromView()) {
        return false;
    }
    BuildFileRows(state_.selection, package_.entries, select);
    ShowRows();
    return true;
}

void Wizard::ShowRows() {
    std::vector<ListRow> rows;
    rows.reserve(state_.selection.rows.size());
    for (const FileRow& r : state_.selection.rows) {
        rows.push_back({r.description, r.checked});
    }
    view_.SetRows(rows);
    view_.SelectRow(state_.selection.selectedRow);
}

void Wizard::ReadRowsFromView() {
    std::vector<FileRow>& rows = state_.selection.rows;
    if (static_cast<size_t>(view_.RowCount()) != rows.size()) {
        return; // the list shows something else; the model keeps its own marks
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].checked = view_.RowChecked(static_cast<int>(i));
    }
    state_.selection.selectedRow = view_.SelectedRow();
}

void Wizard::OpenText(const std::string& text) {
    if (services_.openText) {
        services_.openText(text);
    } else {
        host_.ShellOpen(text);
    }
}

// ---- the file list and its menu --------------------------------------------------------

void Wizard::ShowContextMenu() {
    if (state_.currentPage != kPageFiles) {
        return;
    }
    ReadRowsFromView();
    const int entry = SelectedEntry(state_.selection);
    if (entry < 0 || static_cast<size_t>(entry) >= package_.entries.size()) {
        return;
    }
    view_.SelectRow(state_.selection.selectedRow);
    const ContextMenuState s =
        MenuStateFor(package_.entries[static_cast<size_t>(entry)], state_.selection.kind);
    const int command = view_.PopupContextMenu(
        {s.compileText, s.compileEnabled, s.associationText, s.associationEnabled});
    if (command == kMenuView || command == kMenuCompile || command == kMenuAssociation) {
        OnMenu(command);
    }
}

void Wizard::CheckAllOrSelectAll() {
    if (state_.currentPage == kPageFiles) {
        ReadRowsFromView();
        CheckAll(state_.selection);
        for (int i = 0; i < view_.RowCount(); ++i) {
            view_.SetRowChecked(i, true);
        }
        return;
    }
    const int focused = view_.FocusedControl();
    if (IsMultiLineBox(focused)) {
        view_.SelectAllText(focused);
    }
}

// ---- handlers --------------------------------------------------------------------------

void Wizard::OnControl(int control, ControlEvent event) {
    const bool clicked = event == ControlEvent::Clicked;
    switch (control) {
    case kContextMenuButton:
        if (clicked) {
            ShowContextMenu();
        }
        break;
    case kAliasField: {
        const int g = state_.selection.chosenGroup;
        if (event == ControlEvent::Changed && g >= 0 &&
            static_cast<size_t>(g) < package_.groups.size()) {
            package_.groups[static_cast<size_t>(g)].alias = view_.Text(kAliasField);
        }
        break;
    }
    case kSharedCheckBox:
        state_.selection.includeShared = view_.IsChecked(kSharedCheckBox);
        RebuildFolderChoices();
        break;
    case kRestartCheckBox:
        state_.selection.restartJaws = view_.IsChecked(kRestartCheckBox);
        break;
    case kFolderChooser:
        if (event == ControlEvent::Changed) {
            RebuildLanguageChoices();
        }
        break;
    case kFileList:
        ReadRowsFromView();
        break;
    case kAuthorSiteButton:
        if (clicked) {
            OpenText(package_.info.authorSite);
        }
        break;
    case kApplicationSiteButton:
        if (clicked) {
            OpenText(package_.info.applicationSite);
        }
        break;
    case kHelpButton:
        if (clicked) {
            ShowHelp();
        }
        break;
    case kBrowseButton:
        if (clicked) {
            const std::optional<std::string> picked =
                view_.ChooseFolder(view_.Text(kFreeFolderLabel), view_.Text(kFreeFolderField));
            if (picked && !picked->empty()) {
                view_.SetText(kFreeFolderField, EnsureTrailingBackslash(*picked));
            }
        }
        break;
    case kPreviousButton:
        if (clicked) {
            Previous();
        }
        break;
    case kNextButton:
        if (clicked) {
            Next();
        }
        break;
    case kRunButton:
        if (clicked && services_.runOperations) {
            ReadRowsFromView();
            services_.runOperations();
        }
        break;
    case kCancelButton:
        if (clicked) {
            state_.quitRequested = true;
        }
        break;
    case kUpdateButton:
        if (clicked && services_.checkForNewVersion) {
            services_.checkForNewVersion(false);
        }
        break;
    default:
        break;
    }
}

void Wizard::OnMenu(int command) {
    switch (command) {
    case kCmdHelp:
        ShowHelp();
        break;
    case kCmdLogPage:
        ShowLogPage();
        break;
    case kCmdNext:
        Next();
        break;
    case kCmdPrevious:
        Previous();
        break;
    case kCmdCheckAll:
        CheckAllOrSelectAll();
        break;
    case kCmdContextMenu:
        ShowContextMenu();
        break;
    case kMenuView: {
        ReadRowsFromView();
        const int entry = SelectedEntry(state_.selection);
        if (entry >= 0) {
            ShowFile(entry);
        }
        break;
    }
    case kMenuCompile:
    case kMenuAssociation: {
        ReadRowsFromView();
        const int entry =
            FlipEntryFlag(state_.selection, package_.entries,
                          command == kMenuCompile ? EntryNoCompile : EntryNoAssociation);
        if (entry >= 0) {
            RebuildFileRows(entry);
        }
        break;
    }
    default:
        break;
    }
}

// ---- focus -----------------------------------------------------------------------------

void Wizard::DeferredFocus() {
    FocusState& f = state_.focus;
    if (f.countdown > 0) {
        --f.countdown;
        if (f.countdown == 0) {
            if (f.pending != 0) {
                FocusNow(f.pending);
            }
            f.pending = 0;
        }
    }
    if (f.countdown == 0 && f.pending != 0) {
        f.countdown = kPageFocusTicks;
    }
}

void Wizard::WindowActivated() {
    const FocusState& f = state_.focus;
    // The remembered control, if a person can still land on it: shown and enabled on the page
    // shown. The Run button is disabled by the run before its summary box takes the
    // activation, and a control of another page is hidden with it (the browse button, after
    // the folder chooser): these give way to the page focus control, so that the focus lands
    // on a control a person can use, not on a dead one or on the bare window.
    const int panel = PanelOf(f.remembered);
    const bool usable = f.remembered != 0 && FindControl(f.remembered) != nullptr &&
                        view_.IsEnabled(f.remembered) && view_.IsVisible(f.remembered) &&
                        (panel == 0 || (view_.IsVisible(panel) && view_.IsEnabled(panel)));
    if (f.pending != 0) {
        // The pending control comes in its time; until then the focus goes back to the one
        // that had it (the page's heading), rather than to the bare window.
        if (usable) {
            FocusNow(f.remembered);
        }
        return;
    }
    const int target = usable ? f.remembered : f.pageFocus;
    if (target != 0) {
        FocusNow(target);
    }
}

void Wizard::FocusAndRemember(int control) {
    FocusNow(control);
    state_.focus.remembered = control;
    state_.focus.pageFocus = control;
}

void Wizard::WindowDeactivated() {
    const int focused = view_.FocusedControl();
    if (focused != 0) {
        state_.focus.remembered = focused;
    }
}

} // namespace vuni
