// InstallerState: the one program-wide record, created empty at start and alive until the
// process ends. Every list and buffer of the program lives here.
#pragma once

#include "jaws/processes.h"
#include "jaws/settings_folder.h"
#include "jaws/shell_folders.h"
#include "package/package.h"
#include "update/version_check.h"
#include "wizard/wizard.h"

#include <string>
#include <vector>

namespace vuni {

struct InstallerState {
    bool mutexOwned = false;             // the named mutex "Vuni" is this instance's
    std::string windowsLanguage;         // lower-case three-letter code, "fra" when unknown
    std::string startDirectory;          // the current folder at start-up
    ShellFolders shell;                  // shell folders and the screen reader's settings roots
    PackageState package;                // own path, marker, info, groups, entries, buffers
    std::vector<SettingsFolder> folders; // the destinations; the free folder is the last
    ProcessList processes;               // the last process snapshot
    std::string runningJawsVersion;      // major version of the running screen reader, or empty
    bool soundReady = false;             // the sound output was initialised
    WizardState wizard;                  // pages, focus, selection, quit flag
    UpdateState update;                  // the version check's network start-up
};

} // namespace vuni
