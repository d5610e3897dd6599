// The wizard's services: the Run button's operations (with the default-script step), the
// security check before the Install page and the new-version check, each given the program
// state it reads and the window services it may use.
#include "app/installer.h"
#include "jaws/placeholders.h"
#include "merge/default_jss.h"
#include "operations/install_files.h"
#include "operations/run_operations.h"
#include "platform/host.h"
#include "update/version_check.h"
#include "wizard/controls.h"

namespace vuni {
namespace {

// The merge step's view of the chosen rows and destination.
MergeContext MakeMergeContext(InstallerState& state, Host& host, Log& log, View& view) {
    MergeContext merge;
    merge.entries = &state.package.entries;
    for (const FileRow& row : state.wizard.selection.rows) {
        merge.rows.push_back({row.entryIndex, row.checked});
    }
    merge.chosenGroup = state.wizard.selection.chosenGroup;
    const int chosen = state.wizard.selection.chosenFolder;
    const SettingsFolder* folder = chosen >= 0 && chosen < static_cast<int>(state.folders.size())
                                       ? &state.folders[chosen]
                                       : nullptr;
    merge.destinationPath = folder != nullptr ? folder->scriptPath : std::string();
    merge.expandPlaceholders = [&state, folder](const std::string& path) {
        return ExpandPlaceholders(PlaceholdersFor(state.shell, folder), path);
    };
    merge.extractToMemory = [&state, &host, &log](int entryIndex, std::string& content) {
        const auto bytes = ExtractEntryContent(state.package, host, log, entryIndex);
        if (bytes) {
            content.assign(reinterpret_cast<const char*>(bytes->data()), bytes->size());
        }
        return bytes.has_value();
    };
    merge.showMessage = [&view](const std::string& title, const std::string& text) {
        view.ShowMessage(title, text, MessageKind::Warning);
    };
    return merge;
}

void RunChosenOperation(InstallerState& state, Host& host, Log& log, View& view, Wizard& wizard) {
    WizardSelection& selection = state.wizard.selection;
    if (selection.chosenFolder < 0 ||
        selection.chosenFolder >= static_cast<int>(state.folders.size())) {
        log.LogLine("! No destination folder chosen");
        return;
    }
    SettingsFolder& folder = state.folders[selection.chosenFolder];
    OperationContext ctx(host, log, state.package, folder);
    ctx.kind = selection.kind;
    for (const FileRow& row : selection.rows) {
        ctx.rows.push_back({row.entryIndex, row.checked});
    }
    ctx.chosenGroup = selection.chosenGroup < 0 ? 0 : selection.chosenGroup;
    ctx.userJawsRoot = state.shell.userJawsRoot;
    ctx.sharedJawsRoot = state.shell.sharedJawsRoot;
    ctx.expandPlaceholders = [&state, &folder](const std::string& path) {
        return ExpandPlaceholders(PlaceholdersFor(state.shell, &folder), path);
    };
    ctx.displayPath = [&state, &folder](const std::string& path) {
        return DisplayPath(PlaceholdersFor(state.shell, &folder), path);
    };
    ctx.updateDefaultJss = [&](bool removeMode) {
        MergeContext merge = MakeMergeContext(state, host, log, view);
        merge.prepareSettingsFile = [&ctx](const std::string& path) {
            return PrepareSettingsFile(ctx, path);
        };
        JssMerger merger(host, log);
        return merger.UpdateDefaultJss(merge, removeMode);
    };
    ctx.ui.messageBox = [&view](const std::string& title, const std::string& text,
                                MessageKind kind) { return view.ShowMessage(title, text, kind); };
    ctx.ui.setCancelCaption = [&view](const std::string& caption) {
        view.SetText(ctl::kCancelButton, caption);
    };
    ctx.ui.finalButtons = [&view] {
        view.SetEnabled(ctl::kNextButton, false);
        view.SetEnabled(ctl::kPreviousButton, false);
        view.SetEnabled(ctl::kRunButton, false);
        view.SetEnabled(ctl::kCancelButton, true);
    };
    ctx.ui.focusFinal = [&wizard](FinalFocus control) {
        wizard.FocusAndRemember(control == FinalFocus::CancelButton ? ctl::kCancelButton
                                                                    : ctl::kProgressBox);
    };
    ctx.restartJaws = selection.restartJaws;
    ctx.operationDone = &state.wizard.operationDone;
    RunOperations(ctx);
}

} // namespace

WizardServices Installer::MakeServices() {
    WizardServices services;
    services.runOperations = [this] { RunChosenOperation(state_, host_, log_, view_, *wizard_); };
    services.checkSensitiveFunctions = [this] {
        JssMerger merger(host_, log_);
        merger.CheckSensitiveFunctions(MakeMergeContext(state_, host_, log_, view_));
    };
    services.checkForNewVersion = [this](bool silent) {
        VersionCheckContext context{
            host_,
            log_,
            state_.package.info,
            [this](const std::string& title, const std::string& text, MessageKind kind) {
                return view_.ShowMessage(title, text, kind);
            },
            state_.wizard.quitRequested,
            state_.update};
        CheckForNewVersion(context, silent);
    };
    return services;
}

} // namespace vuni
