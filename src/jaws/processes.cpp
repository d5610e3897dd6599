#include "jaws/processes.h"

#include "platform/windows_version.h"
#include "text/text.h"

namespace vuni {
namespace {

bool HasProcessFunctions(int versionClass) {
    return versionClass >= kClassWindows2000 && versionClass <= kClassLater;
}

} // namespace

int ProcessList::SnapshotProcesses(Host& host) {
    entries_.clear();
    if (HasProcessFunctions(host.WindowsVersionClass())) {
        if (auto snapshot = host.ProcessSnapshot()) {
            for (const ProcessEntry& p : *snapshot) {
                entries_.push_back({p.id, Lower(FileNamePart(p.exeFile))});
            }
        }
    }
    return static_cast<int>(entries_.size());
}

uint32_t ProcessList::FindProcess(Host& host, std::string_view names) {
    std::string wanted = Lower(Trim(names));
    if (wanted.empty()) {
        return 0;
    }
    if (wanted.front() != '{') {
        wanted.insert(wanted.begin(), '{');
    }
    if (wanted.back() != '}') {
        wanted.push_back('}');
    }
    SnapshotProcesses(host);
    for (const ProcessInfo& p : entries_) {
        if (wanted.find("{" + p.name + "}") != std::string::npos) {
            return p.id;
        }
    }
    return 0;
}

std::string ProcessFolder(Host& host, uint32_t id) {
    if (id == 0) {
        return {};
    }
    const int versionClass = host.WindowsVersionClass();
    if (!HasProcessFunctions(versionClass)) {
        return {};
    }
    return Trim(FolderPart(host.ProcessImagePath(id, versionClass)));
}

} // namespace vuni
