// What vunipack build tells the author about the installer it wrote.
#pragma once

#include "manifest.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vuni::pack {

// One file as it went into the package.
struct PackedFile {
    size_t index = 0; // in the manifest's files
    int64_t plainSize = 0;
    int64_t storedSize = 0;
    bool packed = false; // compressed; otherwise stored scrambled
};

// What a build wrote.
struct BuildResult {
    Manifest manifest;
    std::vector<PackedFile> files;
    int64_t installerSize = 0;
};

// On standard output: one line per file (group, name, destination, sizes, how it was
// stored, the stored size against the plain one), the totals, then the summary line; or,
// with json, the same as one JSON object.
void ReportBuild(const std::string& output, const BuildResult& result, bool json);

} // namespace vuni::pack
