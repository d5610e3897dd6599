// vunipack verify: every file of the package decoded, as the installer would.
#include "command_line.h"
#include "commands.h"
#include "installer_file.h"
#include "package/pe_certificate.h"
#include "text/text.h"

#include <cstdio>
#include <string>
#include <vector>

namespace vuni::pack {
namespace {

const char kHelp[] = "Usage: vunipack verify SETUP.exe\n"
                     "\n"
                     "Reads the package as the installer does and decodes every file. Exit code\n"
                     "0 when all are sound; 1, with one message per damaged entry, otherwise.\n"
                     "An entry whose group does not exist is reported as a warning.\n";

} // namespace

int RunVerifyCommand(const std::vector<std::string>& args) {
    const ParsedArgs a = ParseArgs(args, {{}, {}});
    if (a.help) {
        std::fputs(kHelp, stdout);
        return kExitOk;
    }
    if (!a.error.empty()) {
        return UsageError("verify", a.error);
    }
    if (a.positional.size() != 1) {
        return UsageError("verify", "give exactly one installer");
    }
    ToolHost tool;
    InstallerFile installer;
    if (!installer.Open(tool, a.positional[0])) {
        return kExitBadInput;
    }
    PackageState& state = installer.State();
    size_t damaged = 0;
    for (size_t i = 0; i < state.entries.size(); ++i) {
        const PackageEntry& e = state.entries[i];
        const std::string label =
            "entry " + std::to_string(i) + " (" + ToConsole(e.sourceName) + ")";
        if (e.groupIndex != kIntroSoundGroup &&
            (e.groupIndex < 0 || static_cast<size_t>(e.groupIndex) >= state.groups.size())) {
            PrintError("warning: " + label + " belongs to group " + std::to_string(e.groupIndex) +
                       ", which the package does not have; it can never be installed");
        }
        if (!ExtractEntryContent(state, tool.Get(), installer.GetLog(), static_cast<int>(i))) {
            PrintError(label + " is damaged: " + ToConsole(installer.LastErrorLine()));
            ++damaged;
        }
    }
    if (damaged != 0) {
        PrintError(a.positional[0] + ": " + std::to_string(damaged) + " of " +
                   std::to_string(state.entries.size()) + " entries damaged");
        return kExitBadInput;
    }
    // An Authenticode signature is what a user's Windows can check; the certified flag is
    // only the author's word.
    int64_t table = -1;
    if (auto file = tool.Get().OpenRead(state.ownPath)) {
        table = FindCertificateTable(*file, file->Size());
    }
    if ((state.info.flags & InfoCertified) != 0 && table < 0) {
        PrintError("warning: " + a.positional[0] +
                   ": the package says its scripts are certified, but the installer carries no "
                   "Authenticode signature");
    }
    std::fputs(("vunipack: " + a.positional[0] + ": " +
                (table < 0 ? std::string("not signed")
                           : "Authenticode signature at " + std::to_string(table)) +
                "\n")
                   .c_str(),
               stdout);
    std::fputs(("vunipack: " + a.positional[0] + ": " + std::to_string(state.entries.size()) +
                " entries, all sound" +
                (state.seal == SealState::Sound ? ", integrity seal matches"
                                                : " (no integrity seal: made by another tool)") +
                "\n")
                   .c_str(),
               stdout);
    return kExitOk;
}

} // namespace vuni::pack
