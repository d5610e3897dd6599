#include "jaws/discovery.h"

#include "jaws/host_items.h"
#include "jaws/registry.h"
#include "text/stable_order.h"
#include "text/text.h"

namespace vuni {
namespace {

constexpr char kUserLabel[] = "Mes paramètres de jaws ";
constexpr char kSharedLabel[] = "Paramètres partagés de jaws ";
constexpr char kFreeFolderLabel[] = "Choix d'un dossier";

SettingsFolder MakeEntry(const JawsInstall& install, int32_t kind, std::string settingsFolder,
                         std::string languages) {
    SettingsFolder f;
    f.label = (kind == UserSettings ? kUserLabel : kSharedLabel) + install.versionName;
    f.versionName = install.versionName;
    f.majorVersion = install.majorVersion;
    f.languages = std::move(languages);
    f.runtimePath = install.runtimePath;
    f.installPath = install.installPath;
    f.settingsFolder = std::move(settingsFolder);
    f.kind = kind;
    return f;
}

} // namespace

std::string ListLanguageFolders(Host& host, const std::string& folder) {
    std::string out;
    for (const FolderEntry& e : host.ListFolder(folder)) {
        if (e.isDirectory && e.name.size() == kLanguageFolderNameLength) {
            out += e.name;
            out += '|';
        }
    }
    return out;
}

JawsInstall ReadJawsInstall(Host& host, const std::string& versionName, bool oldSettings) {
    JawsInstall j;
    j.versionName = versionName;
    const int64_t major = LeadingInteger(Field(versionName, '.', 1));
    j.majorVersion = major > INT32_MAX || major < INT32_MIN ? 0 : static_cast<int32_t>(major);
    const std::string sep = "\\";
    j.installPath = EnsureTrailingBackslash(ReadRegistryString(
        host, RegistryRoot::LocalMachine, kJawsVersionsKey + sep + versionName, kJawsTargetValue));
    if (!(oldSettings && j.majorVersion < kFirstVersionWithSharedSettings)) {
        j.runtimePath = EnsureTrailingBackslash(
            ReadRegistryString(host, RegistryRoot::LocalMachine,
                               kJawsRuntimeKey + sep + versionName, kJawsTargetValue));
    }
    return j;
}

int DiscoverJaws(Host& host, const ShellFolders& shell, bool withShared, bool withOldSettings,
                 std::vector<SettingsFolder>& folders) {
    folders.clear();
    for (uint32_t index = 0;; ++index) {
        const std::string name =
            EnumRegistrySubkey(host, RegistryRoot::LocalMachine, kJawsVersionsKey, index);
        if (name.empty()) {
            break;
        }
        const JawsInstall install = ReadJawsInstall(host, name, withOldSettings);
        const bool old = withOldSettings && install.majorVersion < kFirstVersionWithSharedSettings;
        const std::string userFolder = old ? install.installPath + kOldSettingsFolder
                                           : shell.userJawsRoot + name + kJawsSettingsFolder;
        std::string languages = ListLanguageFolders(host, userFolder);
        if (!languages.empty()) {
            folders.push_back(MakeEntry(install, UserSettings, userFolder, std::move(languages)));
        }
        if (install.majorVersion >= kFirstVersionWithSharedSettings && withShared) {
            const std::string sharedFolder = shell.sharedJawsRoot + name + kJawsSettingsFolder;
            languages = ListLanguageFolders(host, sharedFolder);
            if (!languages.empty()) {
                folders.push_back(
                    MakeEntry(install, SharedSettings, sharedFolder, std::move(languages)));
            }
        }
    }
    StableSort(folders, [](const SettingsFolder& a, const SettingsFolder& b) {
        return a.majorVersion > b.majorVersion;
    });
    return static_cast<int>(folders.size());
}

void AppendFreeFolder(std::vector<SettingsFolder>& folders) {
    SettingsFolder f;
    f.label = kFreeFolderLabel;
    f.kind = FreeFolder;
    folders.push_back(std::move(f));
}

} // namespace vuni
