// Stand-in for the screen reader's stop program: ends every running jfw.exe, waits for
// them to go, and ends with the number it ended as exit code (0: none was running). Notes
// "killed N" in JfwKill.journal beside itself.
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
// clang-format off
#include <windows.h>
#include <tlhelp32.h>
// clang-format on

#include "platform/win32/owned_handles.h"
#else
#include <cstdlib>
#include <dirent.h>
#include <limits.h>
#include <signal.h>
#include <unistd.h>
#endif

#include "jaws/host_items.h"
#include "standin_support.h"

namespace {

bool SameNameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

#ifdef _WIN32
int EndJaws() {
    const vuni::OwnedFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return 0;
    }
    std::vector<vuni::OwnedHandle> ended;
    PROCESSENTRY32 entry;
    ZeroMemory(&entry, sizeof entry);
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.Get(), &entry); more;
         more = Process32Next(snapshot.Get(), &entry)) {
        if (!SameNameNoCase(entry.szExeFile, vuni::kJawsProcess) ||
            entry.th32ProcessID == GetCurrentProcessId()) {
            continue;
        }
        vuni::OwnedHandle process(
            OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
        if (process && TerminateProcess(process.Get(), 0)) {
            ended.push_back(std::move(process));
        }
    }
    for (const vuni::OwnedHandle& process : ended) {
        WaitForSingleObject(process.Get(), 5000);
    }
    return static_cast<int>(ended.size());
}
#else
// The jfw processes, by pid: the native stand-in is called jfw, or jfw.exe when the
// simulated Windows copied it under its Windows name.
std::vector<pid_t> RunningJaws(const std::string& scope) {
    std::vector<pid_t> out;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) {
        return out;
    }
    while (dirent* e = readdir(proc)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(e->d_name));
        if (pid <= 0 || pid == getpid()) {
            continue;
        }
        char target[PATH_MAX];
        const std::string link = std::string("/proc/") + e->d_name + "/exe";
        const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
        if (n <= 0) {
            continue; // ended, or not ours to look at
        }
        const std::string path(target, static_cast<size_t>(n));
        const std::string name = path.substr(path.find_last_of('/') + 1);
        if ((SameNameNoCase(name, "jfw") || SameNameNoCase(name, vuni::kJawsProcess)) &&
            path.compare(0, scope.size(), scope) == 0) {
            out.push_back(pid);
        }
    }
    closedir(proc);
    return out;
}

int EndJaws() {
    // Run by the simulated Windows, only that machine's processes.
    const char* scopeValue = std::getenv(vuni::standin::kKillScopeVariable);
    if (scopeValue == nullptr) {
        scopeValue = std::getenv("VUNI_SIM_ROOT");
    }
    const std::string scope = scopeValue != nullptr ? scopeValue : "";
    int count = 0;
    for (pid_t pid : RunningJaws(scope)) {
        if (kill(pid, SIGTERM) == 0) {
            ++count;
        }
    }
    // An ended process that its parent has not reaped yet no longer has an executable.
    for (int i = 0; i < 500 && !RunningJaws(scope).empty(); ++i) {
        usleep(10000);
    }
    return count;
}
#endif

} // namespace

int main() {
    const int count = EndJaws();
    vuni::standin::AppendLine(vuni::standin::OwnFolder() + vuni::standin::kJfwKillJournal,
                              "killed " + std::to_string(count));
    return count;
}
