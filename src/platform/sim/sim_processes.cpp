// The simulated machine's processes: the described ones, and real child processes started
// through the host, listed while they run.
#include "platform/sim/sim_host.h"
#include "platform/windows_version.h"
#include "text/text.h"

#include <fstream>
#include <signal.h>

namespace vuni {

void SimHost::AddProcess(uint32_t id, std::string imagePath) {
    processes_.push_back({id, std::move(imagePath), false});
}

void SimHost::AddStartedProcess(uint32_t pid, std::string imagePath) {
    processes_.push_back({pid, std::move(imagePath), true});
}

void SimHost::RemoveProcess(uint32_t id) {
    std::erase_if(processes_, [id](const SimProcess& p) { return p.id == id; });
}

bool SimHost::IsAlive(const SimProcess& p) const {
    if (!p.startedChild) {
        return true;
    }
    if (::kill(static_cast<pid_t>(p.id), 0) != 0) {
        return false;
    }
    // A child that ended but was not reaped yet is a zombie: it no longer runs.
    std::ifstream stat("/proc/" + std::to_string(p.id) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) {
        return true;
    }
    const size_t close = line.rfind(')');
    return close == std::string::npos || close + 2 >= line.size() || line[close + 2] != 'Z';
}

std::optional<std::vector<ProcessEntry>> SimHost::ProcessSnapshot() {
    std::vector<ProcessEntry> out;
    for (const SimProcess& p : processes_) {
        if (IsAlive(p)) {
            // Since Windows 2000 the snapshot names the executable file without its folder.
            out.push_back({p.id, FileNamePart(p.imagePath)});
        }
    }
    return out;
}

std::string SimHost::ProcessImagePath(uint32_t id, int versionClass) {
    if (versionClass < kClassWindows2000 || versionClass > kClassLater) {
        return {};
    }
    for (const SimProcess& p : processes_) {
        if (p.id == id && IsAlive(p)) {
            // A bare name stands for a process that cannot be opened.
            return p.imagePath.find('\\') == std::string::npos ? std::string() : p.imagePath;
        }
    }
    return {};
}

} // namespace vuni
