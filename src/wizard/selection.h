// The wizard's selection model: the chosen operation, destination folder and language,
// script group, file rows with their check marks, and the texts derived from them.
//
// Everything here works on plain values (item lists with a default index, texts, flags);
// the pages layer shows the results in the window and reports what the user picked.
#pragma once

#include "jaws/settings_folder.h"
#include "operations/operation_kind.h"
#include "package/package_types.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vuni {

struct PackageState;

struct FileRow {
    int entryIndex = 0;
    std::string description;
    std::string sortKey; // destination folder as stored + file name
    int32_t flags = 0;
    bool checked = true;
};

struct WizardSelection {
    OperationKind kind = OperationKind::None;
    bool includeShared = false;
    int chosenFolder = -1; // index into the SettingsFolder list
    int chosenGroup = -1;  // index into the ScriptGroup list
    std::vector<FileRow> rows;
    int selectedRow = -1;
    bool restartJaws = false;
    // Folder chooser item i shows SettingsFolder folderItems[i].
    std::vector<int> folderItems;
};

// A list of chooser items and the one to select.
struct Choices {
    std::vector<std::string> items;
    int defaultIndex = 0;
};

// ---- operation
Choices OperationChoices(const std::vector<PackageEntry>& entries);
// The chooser label of a kind, empty for None.
std::string LabelOfKind(OperationKind kind);
// The action button caption: the label's first blank-separated word.
std::string FirstWord(const std::string& label);
// Takes the kind of chooser item chosenItem (-1 or past the items: None).
void CommitOperation(WizardSelection& selection, int chosenItem);

// ---- folder and language
// Fills selection.folderItems; previous is the text the chooser showed before.
Choices FolderChoices(WizardSelection& selection, const std::vector<SettingsFolder>& folders,
                      const std::string& previous);

struct LanguageChoices {
    bool freeFolder = false; // the free-folder controls are in use, the language list not
    bool refill = false;     // the language chooser takes the items below
    bool languageEnabled = false;
    Choices choices;
};
// selectedItem is the folder chooser's item (-1 none), itemCount its number of items.
LanguageChoices BuildLanguageChoices(const WizardSelection& selection,
                                     const std::vector<SettingsFolder>& folders, int selectedItem,
                                     int itemCount, const std::string& previousLanguage);

void CommitFolder(WizardSelection& selection, std::vector<SettingsFolder>& folders,
                  int selectedItem, const std::string& languageText,
                  const std::string& freeFolderText);

// ---- groups
// Makes the default group current. runningVersion is the running major version text.
Choices GroupChoices(WizardSelection& selection, const std::vector<ScriptGroup>& groups,
                     const std::string& previousText, const std::string& runningVersion);

struct GroupSelect {
    bool ok = false;
    int index = 0;
    bool selectFirstItem = false; // nothing was selected: the chooser should select item 0
};
// On a mismatch between the groups and the chooser, ok is false and the model goes on
// with group 0.
GroupSelect SelectGroup(WizardSelection& selection, const std::vector<ScriptGroup>& groups,
                        int chooserIndex, int itemCount);
std::string GroupMismatchLine(size_t groupCount, int itemCount);

// ---- file rows
// Steps after the group selection: keeps the chosen group's entries (only associable ones
// for the removal kind), describes and sorts them, sets default check marks and selects the
// row of entry select (row 0 when there is none).
void BuildFileRows(WizardSelection& selection, const std::vector<PackageEntry>& entries,
                   int select);
std::string DescribeEntry(const PackageEntry& entry, OperationKind kind);
std::string CompileOrdinal(int32_t n);
// Case-insensitive on A-Z only; other bytes compare by value.
bool SortKeyLess(const std::string& a, const std::string& b);

// The entry index of the selected row, -1 when the list is empty; an out-of-range row
// index is first reset to row 0.
int SelectedEntry(WizardSelection& selection);

// Flips one option flag on the selected row's entry; its index, or -1 with no row.
int FlipEntryFlag(WizardSelection& selection, std::vector<PackageEntry>& entries, int32_t flag);
// Flip the option, then rebuild the rows with that entry selected.
bool ToggleAssociation(WizardSelection& selection, std::vector<PackageEntry>& entries);
bool ToggleCompile(WizardSelection& selection, std::vector<PackageEntry>& entries);

struct ContextMenuState {
    bool compileEnabled = false;
    std::string compileText;
    bool associationEnabled = false;
    std::string associationText;
};
ContextMenuState MenuStateFor(const PackageEntry& entry, OperationKind kind);

void CheckAll(WizardSelection& selection);

// The summary lines written to the progress box before an operation.
std::vector<std::string> BuildSummary(const PackageInfo& info,
                                      const std::vector<ScriptGroup>& groups,
                                      const std::vector<SettingsFolder>& folders,
                                      const WizardSelection& selection);

// ---- the rows the operations treat
struct RowVisit {
    int entryIndex;
    bool checked;
};
// The rows in display order whose entry belongs to the chosen group (rows of other groups
// and rows naming no entry are left out).
std::vector<RowVisit> OperationRows(const WizardSelection& selection,
                                    const std::vector<PackageEntry>& entries);
// Walks OperationRows, making each row's entry the package's current entry before calling
// visit; stops and returns false as soon as visit does.
bool ForEachOperationRow(const WizardSelection& selection, PackageState& package,
                         const std::function<bool(const RowVisit&)>& visit);

} // namespace vuni
