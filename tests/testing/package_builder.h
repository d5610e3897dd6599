// Builds installer files for tests: a stub image followed by a package.
#pragma once

#include "package/package_types.h"

#include <string>
#include <vector>

namespace vuni::testing {

struct TestFile {
    std::string sourceName;
    std::string destination = "%JawsScriptPath%\\";
    int32_t groupIndex = 0;
    int32_t compileOrder = 1;
    int32_t flags = 0;
    std::string content;
    // When not empty, written as the stored bytes instead of the scrambled content (a
    // packed stream, or deliberately damaged data).
    std::string storedOverride;
    bool useOverride = false;
};

struct TestPackage {
    std::string stub = "MZ fake program image\n";
    PackageInfo info;
    std::vector<ScriptGroup> groups;
    std::vector<TestFile> files;
    bool sealed = false; // written with the integrity seal, as vunipack writes packages
};

// A small package: application "MonAppli" 1.2, one group "10", two script files.
TestPackage SamplePackage();
// The program file bytes: stub, then the package.
std::string BuildInstallerBytes(const TestPackage& package);

} // namespace vuni::testing
