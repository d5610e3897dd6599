// What the installation operations read and call: the package, the wizard's choices, the
// environment's path rules, the Default.JSS step and the few window services they need.
//
// The operations know nothing of the wizard or of the window: whoever starts a run fills
// one OperationContext and hands it over. Everything here is read-only for the operations
// except the package's extraction state (current entry, work buffer) and the operation done
// flag.
#pragma once

#include "jaws/settings_folder.h"
#include "log/message_box.h"
#include "operations/operation_kind.h"
#include "package/package.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vuni {

class Host;
class Log;

// One row of the file list, in display order.
struct OperationRow {
    int entryIndex = -1; // index into PackageState::entries
    bool checked = false;
};

// The control that gets the focus once a run is over.
enum class FinalFocus { CancelButton, ProgressBox };

// The window services used by a run. Every callable may be left empty: it is then skipped
// (a question left unanswered counts as No).
struct OperationUi {
    std::function<MessageAnswer(const std::string& title, const std::string& text,
                                MessageKind kind)>
        messageBox;
    // The Cancel button's new caption.
    std::function<void(const std::string& caption)> setCancelCaption;
    // Next, Previous and Run disabled; Cancel enabled.
    std::function<void()> finalButtons;
    // Gives the control the keyboard focus and records it as the remembered control and as
    // the page's default focus control.
    std::function<void(FinalFocus control)> focusFinal;
};

// Waits for the compiler and for the screen reader's stop program.
constexpr uint32_t kProcessTimeoutMs = 60000;
// Waits for the restarted screen reader to have its window up, before the last box.
constexpr uint32_t kProgramReadyTimeoutMs = 10000;

struct OperationContext {
    OperationContext(Host& h, Log& l, PackageState& p, SettingsFolder& f)
        : host(h), log(l), package(p), folder(f) {}

    Host& host;
    Log& log;
    PackageState& package;  // info, groups, entries, and the buffers extraction fills
    SettingsFolder& folder; // the chosen destination; scriptPath is the destination path

    OperationKind kind = OperationKind::None;
    std::vector<OperationRow> rows;
    int chosenGroup = 0; // index into package.groups

    // The per-user and shared settings roots: application data + "Freedom Scientific\JAWS\".
    std::string userJawsRoot;
    std::string sharedJawsRoot;

    std::function<std::string(const std::string&)> expandPlaceholders;
    std::function<std::string(const std::string&)> displayPath;
    // The Default.JSS step; true in remove mode of the removal chain.
    std::function<bool(bool removeMode)> updateDefaultJss;

    OperationUi ui;
    bool restartJaws = false;
    bool* operationDone = nullptr; // set at the end of every run

    uint32_t processTimeoutMs = kProcessTimeoutMs;

    // Helpers over the fields above.
    std::string GroupName() const;
    std::string GroupAlias() const;
    std::string Expand(const std::string& path) const;
    std::string Display(const std::string& path) const;
    MessageAnswer Ask(const std::string& title, const std::string& text, MessageKind boxKind) const;
    // The row's entry when it belongs to the chosen group; nullptr for a row of another group
    // (or a row that names no entry).
    const PackageEntry* RowEntry(const OperationRow& row) const;
    // Where the entry is installed: its destination expanded, then its name.
    std::string InstallTarget(const PackageEntry& entry) const;
    // Why the entry's installed path must not be written (see safe_path.h), or nullptr.
    const char* RefusedTarget(const PackageEntry& entry) const;
    // Why the entry's path below the copy's base folder must not be written, or nullptr.
    const char* RefusedCopyTarget(const PackageEntry& entry) const;
};

} // namespace vuni
