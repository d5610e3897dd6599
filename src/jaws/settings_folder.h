// Installed screen-reader versions and the destination folders offered by the wizard.
#pragma once

#include <cstdint>
#include <string>

namespace vuni {

enum SettingsFolderKind : int32_t {
    UserSettings = 0,
    SharedSettings = 1,
    FreeFolder = 2,
};

// The registry facts of one installed version.
struct JawsInstall {
    std::string versionName;  // the registry subkey name, for instance "11.0"
    int32_t majorVersion = 0; // the number before the first "."
    std::string installPath;  // ends with "\"
    std::string runtimePath;  // ends with "\"; empty before version 6
};

// One element of the destination-folder list, fields in the documented order.
struct SettingsFolder {
    std::string label;
    std::string versionName;
    int32_t majorVersion = 0;
    std::string languages;      // "fra|enu|"
    std::string chosenLanguage; // as displayed: "Français", "Américain" or a code
    std::string runtimePath;
    std::string installPath;
    std::string settingsFolder; // holds the language folders
    std::string scriptPath;     // the destination: %JawsScriptPath%
    bool running = false;
    int32_t kind = UserSettings;
};

} // namespace vuni
