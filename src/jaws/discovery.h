// Discovery of the installed screen-reader versions and of their settings folders: the
// destination-folder list of the wizard.
#pragma once

#include "jaws/settings_folder.h"
#include "jaws/shell_folders.h"
#include "platform/host.h"

#include <string>
#include <vector>

namespace vuni {

// Every directory entry of folder whose name is three characters long, in listing order,
// each followed by "|" ("fra|enu|"); empty when there is none or no such folder.
std::string ListLanguageFolders(Host& host, const std::string& folder);

// The registry facts of one version subkey. With oldSettings, versions before 6 have no
// runtime path.
JawsInstall ReadJawsInstall(Host& host, const std::string& versionName, bool oldSettings);

// Rebuilds folders: for every version subkey in registry order, its user settings entry
// and, from version 6 and withShared, its shared entry, each only when its settings folder
// holds a language folder; then sorted by major version, highest first, keeping the order
// of equal versions. With withOldSettings, versions before 6 use the SETTINGS folder under
// their program folder. Returns the number of entries.
int DiscoverJaws(Host& host, const ShellFolders& shell, bool withShared, bool withOldSettings,
                 std::vector<SettingsFolder>& folders);

// Appends the free-folder entry "Choix d'un dossier", every other field empty.
void AppendFreeFolder(std::vector<SettingsFolder>& folders);

} // namespace vuni
