// vunipack extract: the plain content of package files, written to a folder.
#include "command_line.h"
#include "commands.h"
#include "installer_file.h"
#include "text/text.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace vuni::pack {
namespace {

const char kHelp[] =
    "Usage: vunipack extract SETUP.exe (--entry N | --all) -C DIR\n"
    "\n"
    "Writes the plain content of package files into DIR (created when missing).\n"
    "\n"
    "  --entry N  the entry numbered N by 'vunipack list', written as DIR/NAME\n"
    "  --all      every entry: the files of a group go to DIR/GROUP/NAME, the intro\n"
    "             sound to DIR/NAME; a name met twice gets a '~2', '~3'... suffix\n"
    "  -C DIR     the folder to write into\n"
    "\n"
    "Names come from the package and are untrusted: only their last component is used,\n"
    "and characters Windows does not allow in file names become '_'.\n";

// A file or folder name made safe: no folder part, no character Windows refuses.
std::string SafeName(const std::string& name, const std::string& fallback) {
    std::string out = FileNamePart(name);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20 ||
            std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
            c = '_';
        }
    }
    out = Trim(out);
    while (!out.empty() && out.back() == '.') {
        out.pop_back();
    }
    return out.empty() ? fallback : out;
}

// Creates the folder and any missing parent.
bool MakeFolders(Host& host, const std::string& folder) {
    const std::string f = StripTrailingBackslash(folder);
    if (f.empty() || host.IsDirectory(f) || (f.size() == 2 && f[1] == ':')) {
        return !f.empty();
    }
    const size_t cut = f.find_last_of("\\/");
    if (cut != std::string::npos && cut > 0 && !MakeFolders(host, f.substr(0, cut + 1))) {
        return false;
    }
    return host.CreateFolder(f) || host.IsDirectory(f);
}

} // namespace

int RunExtractCommand(const std::vector<std::string>& args) {
    const ParsedArgs a = ParseArgs(args, {{"--entry", "-C"}, {"--all"}});
    if (a.help) {
        std::fputs(kHelp, stdout);
        return kExitOk;
    }
    if (!a.error.empty()) {
        return UsageError("extract", a.error);
    }
    if (a.positional.size() != 1) {
        return UsageError("extract", "give exactly one installer");
    }
    const bool all = a.flags.count("--all") != 0;
    const bool one = a.values.count("--entry") != 0;
    if (all == one) {
        return UsageError("extract", "give either --entry N or --all");
    }
    if (a.values.count("-C") == 0 || a.values.at("-C").empty()) {
        return UsageError("extract", "give the folder to write into with -C DIR");
    }
    long long wanted = -1;
    if (one) {
        const std::string& n = a.values.at("--entry");
        if (n.empty() || n.find_first_not_of("0123456789") != std::string::npos || n.size() > 9) {
            return UsageError("extract", "--entry takes an entry number (0, 1, ...)");
        }
        wanted = std::stoll(n);
    }

    ToolHost tool;
    Host& host = tool.Get();
    InstallerFile installer;
    if (!installer.Open(tool, a.positional[0])) {
        return kExitBadInput;
    }
    PackageState& state = installer.State();
    if (one && wanted >= static_cast<long long>(state.entries.size())) {
        PrintError("there is no entry " + std::to_string(wanted) + ": the package has " +
                   std::to_string(state.entries.size()));
        return kExitBadInput;
    }
    std::string folder;
    if (!tool.ToHostPath(a.values.at("-C"), folder)) {
        PrintError(a.values.at("-C") + ": this name cannot be written in Windows-1252");
        return kExitBadInput;
    }
    folder = EnsureTrailingBackslash(folder);
    if (!MakeFolders(host, folder)) {
        PrintError(a.values.at("-C") + ": cannot create the folder");
        return kExitBadInput;
    }

    int failures = 0;
    std::map<std::string, int> used; // lower-case target -> times used
    const size_t first = one ? static_cast<size_t>(wanted) : 0;
    const size_t last = one ? first + 1 : state.entries.size();
    for (size_t i = first; i < last; ++i) {
        const PackageEntry& e = state.entries[i];
        std::string target = folder;
        if (all && e.groupIndex != kIntroSoundGroup) {
            target += SafeName(GroupLabel(state, e.groupIndex), "group") + "\\";
            if (!MakeFolders(host, target)) {
                PrintError(tool.ToCommandLinePath(target) + ": cannot create the folder");
                ++failures;
                continue;
            }
        }
        target += SafeName(e.sourceName, "entry" + std::to_string(i));
        const int times = ++used[Lower(target)];
        if (times > 1) {
            target += "~" + std::to_string(times);
        }
        if (!ExtractEntryToFile(state, host, installer.GetLog(), static_cast<int>(i), target)) {
            PrintError("entry " + std::to_string(i) + " (" + ToConsole(e.sourceName) +
                       "): " + ToConsole(installer.LastErrorLine()));
            ++failures;
            continue;
        }
        std::fputs((tool.ToCommandLinePath(target) + "\n").c_str(), stdout);
    }
    return failures == 0 ? kExitOk : kExitBadInput;
}

} // namespace vuni::pack
