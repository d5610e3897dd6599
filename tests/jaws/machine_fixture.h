// A simulated Windows loaded from one of the described machines of tests/machines.
#pragma once

#include "platform/sim/sim_machine.h"
#include "testing/shared_dir.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>
#include <string>

namespace vuni::testing {

inline std::filesystem::path MachineDir(const std::string& name) {
    return SourceDir() / "tests" / "machines" / name;
}

struct LoadedMachine {
    explicit LoadedMachine(const std::string& name) {
        std::string error;
        loaded = LoadMachine(host, MachineDir(name), error);
        EXPECT_TRUE(loaded) << name << ": " << error;
    }
    TempDir dir;
    SimHost host{dir.Path()};
    bool loaded = false;
};

} // namespace vuni::testing
