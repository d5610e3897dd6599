// An installer opened for inspection: its package read with LoadPackage, as the installer
// itself reads it at start-up.
#pragma once

#include "log/log.h"
#include "package/package.h"
#include "tool_host.h"

#include <string>

namespace vuni::pack {

class InstallerFile {
public:
    InstallerFile() = default;
    InstallerFile(const InstallerFile&) = delete;
    InstallerFile& operator=(const InstallerFile&) = delete;

    // Reads the package of the installer named on the command line. On failure prints why
    // (and the reader's last log line) and returns false.
    bool Open(ToolHost& host, const std::string& commandLinePath);

    PackageState& State() { return state_; }
    Log& GetLog() { return log_; }
    MemoryLineSink& LogLines() { return installLog_; }
    // The text of the reader's last error line ("! ..."), or empty.
    std::string LastErrorLine() const;

private:
    MemoryLineSink installLog_;
    MemoryLineSink progress_;
    Log log_{installLog_, progress_};
    PackageState state_;
};

// A label for an entry's group: the group's name, "intro sound", or "group N (missing)"
// when the index names no group.
std::string GroupLabel(const PackageState& state, int32_t groupIndex);

} // namespace vuni::pack
