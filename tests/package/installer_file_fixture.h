// A program file of its own on a fresh simulated machine (C:\setup.exe), with what reading
// its package takes: the host, the two log sinks, the log and the package state.
#pragma once

#include "log/log.h"
#include "package/marker.h"
#include "package/package.h"
#include "platform/sim/sim_host.h"
#include "testing/shared_dir.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>
#include <string>

namespace vuni::testing {

class InstallerFileTest : public ::testing::Test {
protected:
    // Writes bytes as C:\setup.exe and starts again from a package state that reads it.
    void Install(const std::string& bytes) {
        WriteHostFile(dir.Path() / "c" / "setup.exe", bytes);
        state = PackageState{};
        state.ownPath = "C:\\setup.exe";
        state.marker = PackageMarker();
    }
    LoadPackageResult Load() { return LoadPackage(state, host, log, state.ownPath); }

    TempDir dir;
    SimHost host{dir.Path()};
    MemoryLineSink install;
    MemoryLineSink progress;
    Log log{install, progress};
    PackageState state;
};

} // namespace vuni::testing
