// jawsprobe discover      the system facts, shell folders and destination-folder list
// jawsprobe find NAMES    the first process among NAMES and the folder of its executable
// jawsprobe processes     the process list
//
// Output: one record a line, fields separated by tabs, Windows-1252 text. Exit code 0, or
// 1 when find finds nothing, 2 on a usage error.
#include "jaws/discovery.h"
#include "jaws/host_items.h"
#include "jaws/processes.h"
#include "jaws/shell_folders.h"
#include "platform/win32/win32_host.h"
#include "text/text.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace vuni;

void Print(const std::vector<std::string>& fields) {
    std::string line;
    for (const std::string& f : fields) {
        if (!line.empty()) {
            line += '\t';
        }
        line += f;
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
}

int Discover(Host& host) {
    Print({"class", Decimal(host.WindowsVersionClass())});
    Print({"windows64", host.IsWindows64() ? "1" : "0"});
    for (int csidl : {kCsidlUserAppData, kCsidlSharedAppData, kCsidlMyDocuments}) {
        Print({"shell", Decimal(csidl), SpecialFolderPath(host, csidl)});
    }
    const ShellFolders shell = ResolveShellFolders(host);
    std::vector<SettingsFolder> folders;
    DiscoverJaws(host, shell, true, true, folders);
    AppendFreeFolder(folders);
    for (const SettingsFolder& f : folders) {
        Print({"folder", Decimal(f.kind), f.label, f.versionName, Decimal(f.majorVersion),
               f.languages, f.installPath, f.runtimePath, f.settingsFolder});
    }
    return 0;
}

int Find(Host& host, const std::string& names) {
    ProcessList list;
    const uint32_t id = list.FindProcess(host, names);
    Print({"process", Decimal(id), ProcessFolder(host, id)});
    return id != 0 ? 0 : 1;
}

int Processes(Host& host) {
    ProcessList list;
    list.SnapshotProcesses(host);
    for (const ProcessInfo& p : list.Entries()) {
        Print({"snapshot", Decimal(p.id), p.name});
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Win32Host host;
    const std::string command = argc > 1 ? argv[1] : "";
    int result = 2;
    if (command == "discover" && argc == 2) {
        result = Discover(host);
    } else if (command == "find" && argc == 3) {
        result = Find(host, argv[2]);
    } else if (command == "processes" && argc == 2) {
        result = Processes(host);
    } else {
        std::fputs("usage: jawsprobe discover | find NAMES | processes\n", stderr);
    }
    std::fflush(stdout);
    return result;
}
