#include "installer_file.h"

#include "package/marker.h"
#include "text/text.h"

namespace vuni::pack {

bool InstallerFile::Open(ToolHost& host, const std::string& commandLinePath) {
    std::string path;
    if (!host.ToHostPath(commandLinePath, path)) {
        PrintError(commandLinePath + ": this name cannot be written in Windows-1252");
        return false;
    }
    if (!host.Get().IsFile(path)) {
        PrintError(commandLinePath + ": no such file");
        return false;
    }
    state_.ownPath = path;
    state_.marker = PackageMarker();
    const LoadPackageResult result = LoadPackage(state_, host.Get(), log_, path);
    if (result == LoadPackageResult::OutOfMemory) {
        PrintError(commandLinePath + ": not enough memory for the package's buffers");
        return false;
    }
    if (result != LoadPackageResult::Success) {
        std::string why = LastErrorLine();
        if (why.empty()) {
            why = state_.infoOffset == 0 ? "no package marker line"
                                         : "the package has no script group or no file";
        }
        PrintError(commandLinePath + ": not a sound installer (" + ToConsole(why) + ")");
        return false;
    }
    return true;
}

std::string InstallerFile::LastErrorLine() const {
    for (auto it = installLog_.Lines().rbegin(); it != installLog_.Lines().rend(); ++it) {
        std::string t = TrimLeft(*it);
        if (StartsWith(t, "! ")) {
            return t;
        }
    }
    return {};
}

std::string GroupLabel(const PackageState& state, int32_t groupIndex) {
    if (groupIndex == kIntroSoundGroup) {
        return "intro sound";
    }
    if (groupIndex < 0 || static_cast<size_t>(groupIndex) >= state.groups.size()) {
        return "group " + Decimal(groupIndex) + " (missing)";
    }
    return state.groups[static_cast<size_t>(groupIndex)].name;
}

} // namespace vuni::pack
