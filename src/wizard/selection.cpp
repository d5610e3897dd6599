#include "wizard/selection.h"

#include "jaws/host_items.h"
#include "jaws/languages.h"
#include "package/package.h"
#include "text/stable_order.h"
#include "text/text.h"

#include <algorithm>
#include <iterator>

namespace vuni {
namespace {

// The operation chooser's items: item i is row i. The removal row is offered only when the
// package has an associable entry.
struct OperationChoice {
    OperationKind kind;
    const char* label;
};
constexpr OperationChoice kOperationChoices[] = {
    {OperationKind::Install, "Installer les fichiers"},
    {OperationKind::InstallWithBackup,
     "Installer les fichiers après la sauvegarde des anciens scrips"},
    {OperationKind::Copy, "Copier les fichiers dans un dossier"},
    {OperationKind::RemoveAssociation, "Retirer l'association du Default.JSS"},
};

// The word that qualifies a certified author on the summary.
constexpr char kCertifiedWord[] = "certifié";

bool ValidIndex(int index, size_t size) {
    return index >= 0 && static_cast<size_t>(index) < size;
}

// The destination is the script path itself: the placeholder and one "\".
bool IsScriptPathFolder(std::string_view destination) {
    const std::string_view placeholder = kScriptPathPlaceholder;
    return destination.size() == placeholder.size() + 1 && StartsWith(destination, placeholder) &&
           destination.back() == '\\';
}

} // namespace

// ---- operation ---------------------------------------------------------------------

Choices OperationChoices(const std::vector<PackageEntry>& entries) {
    const bool associable = std::any_of(entries.begin(), entries.end(), [](const PackageEntry& e) {
        return (e.flags & EntryAssociable) != 0;
    });
    Choices c;
    for (const OperationChoice& choice : kOperationChoices) {
        if (choice.kind != OperationKind::RemoveAssociation || associable) {
            c.items.emplace_back(choice.label);
        }
    }
    c.defaultIndex = 1;
    return c;
}

std::string LabelOfKind(OperationKind kind) {
    for (const OperationChoice& choice : kOperationChoices) {
        if (choice.kind == kind) {
            return choice.label;
        }
    }
    return "";
}

std::string FirstWord(const std::string& label) {
    const std::string trimmed = TrimLeft(label);
    return trimmed.substr(0, trimmed.find(' '));
}

void CommitOperation(WizardSelection& selection, int chosenItem) {
    selection.kind = ValidIndex(chosenItem, std::size(kOperationChoices))
                         ? kOperationChoices[static_cast<size_t>(chosenItem)].kind
                         : OperationKind::None;
}

// ---- folder and language -----------------------------------------------------------

Choices FolderChoices(WizardSelection& selection, const std::vector<SettingsFolder>& folders,
                      const std::string& previous) {
    Choices c;
    selection.folderItems.clear();
    for (size_t i = 0; i < folders.size(); ++i) {
        const SettingsFolder& f = folders[i];
        if (f.kind == SharedSettings && !selection.includeShared) {
            continue;
        }
        if ((f.running && previous.empty()) || f.label == previous) {
            c.defaultIndex = static_cast<int>(c.items.size());
        }
        c.items.push_back(f.label);
        selection.folderItems.push_back(static_cast<int>(i));
    }
    return c;
}

LanguageChoices BuildLanguageChoices(const WizardSelection& selection,
                                     const std::vector<SettingsFolder>& folders, int selectedItem,
                                     int itemCount, const std::string& previousLanguage) {
    LanguageChoices out;
    if (itemCount > 0 && selectedItem == itemCount - 1) {
        out.freeFolder = true;
        return out;
    }
    out.refill = true;
    out.languageEnabled = true;
    const std::string previous =
        previousLanguage.empty() ? LanguageDisplayName(kLanguageFrench) : previousLanguage;
    const SettingsFolder* folder = nullptr;
    if (ValidIndex(selectedItem, selection.folderItems.size()) &&
        ValidIndex(selection.folderItems[static_cast<size_t>(selectedItem)], folders.size())) {
        folder =
            &folders[static_cast<size_t>(selection.folderItems[static_cast<size_t>(selectedItem)])];
    }
    const std::string list = folder == nullptr ? std::string() : folder->languages;
    const size_t count = CountChar(list, '|');
    int previousIndex = -1;
    int frenchIndex = -1;
    for (size_t i = 1; i <= count; ++i) {
        const std::string code = Lower(Field(list, '|', i));
        const std::string shown = LanguageDisplayName(code);
        const int index = static_cast<int>(out.choices.items.size());
        if (shown == previous) {
            previousIndex = index;
        }
        if (code == kLanguageFrench && frenchIndex < 0) {
            frenchIndex = index;
        }
        out.choices.items.push_back(shown);
    }
    out.choices.defaultIndex = previousIndex >= 0 ? previousIndex
                               : frenchIndex >= 0 ? frenchIndex
                                                  : 0;
    if (count == 0) {
        out.languageEnabled = false;
    }
    return out;
}

void CommitFolder(WizardSelection& selection, std::vector<SettingsFolder>& folders,
                  int selectedItem, const std::string& languageText,
                  const std::string& freeFolderText) {
    for (SettingsFolder& f : folders) {
        if (f.kind == FreeFolder) {
            f.scriptPath = freeFolderText;
        }
    }
    if (!ValidIndex(selectedItem, selection.folderItems.size())) {
        return;
    }
    const int index = selection.folderItems[static_cast<size_t>(selectedItem)];
    if (!ValidIndex(index, folders.size())) {
        return;
    }
    selection.chosenFolder = index;
    SettingsFolder& f = folders[static_cast<size_t>(index)];
    if (f.kind == UserSettings || f.kind == SharedSettings) {
        f.chosenLanguage = languageText;
        f.scriptPath = f.settingsFolder + LanguageCode(languageText) + "\\";
    }
}

// ---- groups ------------------------------------------------------------------------

Choices GroupChoices(WizardSelection& selection, const std::vector<ScriptGroup>& groups,
                     const std::string& previousText, const std::string& runningVersion) {
    std::string target;
    if (previousText.empty()) {
        for (const ScriptGroup& g : groups) {
            if (StartsWith(g.name, runningVersion)) {
                target = g.name;
                break;
            }
        }
    } else {
        target = previousText.size() > 5 ? previousText.substr(5) : std::string();
    }
    Choices c;
    for (size_t i = 0; i < groups.size(); ++i) {
        if (groups[i].name == target) {
            c.defaultIndex = static_cast<int>(i);
        }
        c.items.push_back("Jaws " + groups[i].name);
    }
    selection.chosenGroup = groups.empty() ? -1 : c.defaultIndex;
    return c;
}

GroupSelect SelectGroup(WizardSelection& selection, const std::vector<ScriptGroup>& groups,
                        int chooserIndex, int itemCount) {
    GroupSelect out;
    if (groups.empty() || static_cast<int64_t>(groups.size()) != itemCount) {
        selection.chosenGroup = 0;
        return out;
    }
    out.ok = true;
    if (!ValidIndex(chooserIndex, groups.size())) {
        chooserIndex = 0;
        out.selectFirstItem = true;
    }
    out.index = chooserIndex;
    selection.chosenGroup = chooserIndex;
    return out;
}

std::string GroupMismatchLine(size_t groupCount, int itemCount) {
    return "! CroupList$()=" + Decimal(static_cast<int64_t>(groupCount)) +
           " and #GroupFileListG=" + Decimal(itemCount);
}

// ---- file rows ---------------------------------------------------------------------

std::string CompileOrdinal(int32_t n) {
    return n == 1 ? "premier" : Decimal(n) + "ème";
}

std::string DescribeEntry(const PackageEntry& entry, OperationKind kind) {
    std::string d = entry.sourceName;
    const bool installKind =
        !HasBit(kind, OperationKind::Copy) && !HasBit(kind, OperationKind::RemoveAssociation);
    if (installKind) {
        if ((entry.flags & EntryOptional) != 0) {
            d += ", optionnel";
        }
        if ((entry.flags & EntryCompilable) != 0) {
            d += (entry.flags & EntryNoCompile) != 0
                     ? std::string(", Ne pas compiler")
                     : ", A compiler en " + CompileOrdinal(entry.compileOrder);
        }
        if ((entry.flags & EntryAssociable) != 0) {
            d += (entry.flags & EntryNoAssociation) != 0
                     ? std::string(", Ne pas autoriser l'association avec le Default.JSS")
                     : ", Autoriser l'association avec le Default.JSS et compiler en " +
                           CompileOrdinal(entry.compileOrder);
        }
    }
    const std::string& p = entry.destination;
    if (IsScriptPathFolder(p)) {
        return d;
    }
    if (p.find(kScriptPathPlaceholder) != std::string::npos) {
        d += ", dans " + StripTrailingBackslash(ReplaceAllNoCase(p, kScriptPathPlaceholder, ""));
    } else {
        d += ", dans " + StripTrailingBackslash(p);
    }
    return d;
}

bool SortKeyLess(const std::string& a, const std::string& b) {
    auto fold = [](char c) -> unsigned char {
        const auto u = static_cast<unsigned char>(c);
        return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
    };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return fold(x) < fold(y); });
}

void BuildFileRows(WizardSelection& selection, const std::vector<PackageEntry>& entries,
                   int select) {
    selection.rows.clear();
    for (size_t i = 0; i < entries.size(); ++i) {
        const PackageEntry& e = entries[i];
        if (e.groupIndex != selection.chosenGroup) {
            continue;
        }
        if (HasBit(selection.kind, OperationKind::RemoveAssociation) &&
            (e.flags & EntryAssociable) == 0) {
            continue;
        }
        FileRow row;
        row.entryIndex = static_cast<int>(i);
        row.description = DescribeEntry(e, selection.kind);
        row.sortKey = e.destination + e.sourceName;
        row.flags = e.flags;
        row.checked = (e.flags & EntryOptional) == 0;
        selection.rows.push_back(std::move(row));
    }
    StableSort(selection.rows, [](const FileRow& a, const FileRow& b) {
        return SortKeyLess(a.sortKey, b.sortKey);
    });
    selection.selectedRow = selection.rows.empty() ? -1 : 0;
    for (size_t r = 0; r < selection.rows.size(); ++r) {
        if (selection.rows[r].entryIndex == select) {
            selection.selectedRow = static_cast<int>(r);
        }
    }
}

int SelectedEntry(WizardSelection& selection) {
    if (selection.rows.empty()) {
        selection.selectedRow = -1;
        return -1;
    }
    if (!ValidIndex(selection.selectedRow, selection.rows.size())) {
        selection.selectedRow = 0;
    }
    return selection.rows[static_cast<size_t>(selection.selectedRow)].entryIndex;
}

int FlipEntryFlag(WizardSelection& selection, std::vector<PackageEntry>& entries, int32_t flag) {
    const int entry = SelectedEntry(selection);
    if (!ValidIndex(entry, entries.size())) {
        return -1;
    }
    entries[static_cast<size_t>(entry)].flags ^= flag;
    return entry;
}

namespace {

bool ToggleFlag(WizardSelection& selection, std::vector<PackageEntry>& entries, int32_t flag) {
    const int entry = FlipEntryFlag(selection, entries, flag);
    if (entry < 0) {
        return false;
    }
    BuildFileRows(selection, entries, entry);
    return true;
}

} // namespace

bool ToggleAssociation(WizardSelection& selection, std::vector<PackageEntry>& entries) {
    return ToggleFlag(selection, entries, EntryNoAssociation);
}

bool ToggleCompile(WizardSelection& selection, std::vector<PackageEntry>& entries) {
    return ToggleFlag(selection, entries, EntryNoCompile);
}

ContextMenuState MenuStateFor(const PackageEntry& entry, OperationKind kind) {
    ContextMenuState s;
    const bool removal = HasBit(kind, OperationKind::RemoveAssociation);
    s.associationEnabled = (entry.flags & EntryAssociable) != 0 && !removal;
    s.associationText = (entry.flags & EntryNoAssociation) != 0
                            ? "Autoriser l'association avec le Default.JSS"
                            : "Ne pas autoriser l'association avec le Default.JSS";
    s.compileEnabled = (entry.flags & EntryCompilable) != 0 && !removal;
    s.compileText = (entry.flags & EntryNoCompile) != 0 ? "A compiler" : "Ne pas compiler";
    return s;
}

void CheckAll(WizardSelection& selection) {
    for (FileRow& row : selection.rows) {
        row.checked = true;
    }
}

std::vector<std::string> BuildSummary(const PackageInfo& info,
                                      const std::vector<ScriptGroup>& groups,
                                      const std::vector<SettingsFolder>& folders,
                                      const WizardSelection& selection) {
    const bool certified = (info.flags & InfoCertified) != 0;
    const std::string groupName = ValidIndex(selection.chosenGroup, groups.size())
                                      ? groups[static_cast<size_t>(selection.chosenGroup)].name
                                      : std::string();
    std::string label;
    std::string language;
    std::string destination;
    if (ValidIndex(selection.chosenFolder, folders.size())) {
        const SettingsFolder& f = folders[static_cast<size_t>(selection.chosenFolder)];
        label = f.label;
        language = f.kind == FreeFolder ? std::string() : f.chosenLanguage;
        destination = f.scriptPath;
    }
    return {
        "* Déscription du groupe de fichiers scripts :",
        " Pour l'application : " + info.applicationName + " " + info.applicationVersion,
        " Version : " + info.scriptSetVersion,
        std::string(" Auteur ") + (certified ? kCertifiedWord : "") + " :",
        " Fonctionnant avec Jaws " + groupName,
        "",
        "* Dossier de destination : ",
        " " + label + ", " + language,
        " " + destination,
        "",
        "* " + LabelOfKind(selection.kind),
        "",
    };
}

// ---- the rows the operations treat -------------------------------------------------

std::vector<RowVisit> OperationRows(const WizardSelection& selection,
                                    const std::vector<PackageEntry>& entries) {
    std::vector<RowVisit> out;
    for (const FileRow& row : selection.rows) {
        if (!ValidIndex(row.entryIndex, entries.size())) {
            continue;
        }
        if (entries[static_cast<size_t>(row.entryIndex)].groupIndex != selection.chosenGroup) {
            continue;
        }
        out.push_back({row.entryIndex, row.checked});
    }
    return out;
}

bool ForEachOperationRow(const WizardSelection& selection, PackageState& package,
                         const std::function<bool(const RowVisit&)>& visit) {
    for (const RowVisit& row : OperationRows(selection, package.entries)) {
        package.currentEntry = row.entryIndex;
        if (!visit(row)) {
            return false;
        }
    }
    return true;
}

} // namespace vuni
