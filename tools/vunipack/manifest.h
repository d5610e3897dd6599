// The manifest: the text file from which "vunipack build" makes a package. Its format is
// described in docs/manifest.md.
#pragma once

#include "package/package_types.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vuni::pack {

// One file to pack, in package order.
struct ManifestFile {
    std::string path; // as written in the manifest, relative to the manifest's folder
    // The file record: source name, destination, group index (kIntroSoundGroup for the intro
    // sound), compile order and flags; the sizes come from the file when it is packed.
    PackageEntry entry;
    int line = 0; // the line of its "path" key, for messages about the file
};

struct Manifest {
    PackageInfo info;
    std::vector<ScriptGroup> groups;
    std::vector<ManifestFile> files; // the intro sound first, when there is one
    int packageLine = 0;             // the [package] section's line
    std::vector<int> groupLines;     // each group's section line
};

struct ManifestError {
    int line = 0;        // 1-based; 0 when the error concerns the whole manifest
    std::string message; // Windows-1252
};

// Parses the manifest's bytes: UTF-8 (with or without a byte-order mark) when they are
// valid UTF-8, Windows-1252 otherwise. Returns false, with every error found, when the
// manifest is not sound.
bool ParseManifest(std::string_view bytes, Manifest& manifest, std::vector<ManifestError>& errors);

// True when s is well-formed UTF-8.
bool IsValidUtf8(std::string_view s);

// A package date: "YYYY-MM-DD HH:MM" (local wall-clock time) or a number of seconds since
// 1970-01-01 00:00. False when the text is neither or the date does not fit.
bool ParsePackageDate(std::string_view text, int32_t& seconds);
// The "YYYY-MM-DD HH:MM" form of a package date.
std::string FormatPackageDate(int32_t seconds);

// Flag names, for the manifest and for listings.
std::string InfoFlagNames(int32_t flags);
std::string EntryFlagNames(int32_t flags);

} // namespace vuni::pack
