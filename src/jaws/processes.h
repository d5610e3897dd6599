// The running processes: a snapshot, a lookup by executable name, the folder of a
// process's executable.
#pragma once

#include "platform/host.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vuni {

struct ProcessInfo {
    uint32_t id = 0;
    std::string name; // the executable's file name, lower-cased
};

// The last snapshot, owned by the program state.
class ProcessList {
public:
    // Rebuilds the list (Windows 2000 and later only; left empty elsewhere or when no
    // snapshot can be taken); returns its number of elements.
    int SnapshotProcesses(Host& host);
    // The id of the first process, in snapshot order, whose executable name is among
    // names: one name, or several each in braces ("{jfw.exe}{jscript.exe}"), letter case
    // ignored. 0 when none runs; an empty text gives 0 without taking a snapshot.
    uint32_t FindProcess(Host& host, std::string_view names);

    const std::vector<ProcessInfo>& Entries() const { return entries_; }

private:
    std::vector<ProcessInfo> entries_;
};

// The folder of the process's executable, ending with "\", or the empty text.
std::string ProcessFolder(Host& host, uint32_t id);

} // namespace vuni
