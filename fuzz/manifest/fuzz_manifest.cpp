// vunipack's manifest reader on arbitrary bytes.
//
// Errors name a line of the input (or 0) and say something; the reader succeeds exactly
// when it reports none. What a sound manifest gives is what the package writer relies on:
// at least one group and one file, the intro sound first and at most once, every other
// file in an existing group, no file twice in the same group and folder, file names
// that are plain names, and destination folders that end with "\".
#include "manifest.h"
#include "manifest_warnings.h"
#include "package/package_types.h"
#include "text/text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

// The lines the reader sees: LF, CR LF or CR end one.
int LineCount(std::string_view bytes) {
    int lines = 1;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' ||
            (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))) {
            ++lines;
        }
    }
    return lines;
}

bool IsPlainName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 ||
            std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    vuni::pack::Manifest manifest;
    std::vector<vuni::pack::ManifestError> errors;
    const bool sound = vuni::pack::ParseManifest(bytes, manifest, errors);
    Check(sound == errors.empty());
    const int lines = LineCount(bytes);
    for (const vuni::pack::ManifestError& e : errors) {
        Check(e.line >= 0 && e.line <= lines && !e.message.empty());
    }
    if (!sound) {
        return 0;
    }

    Check(!manifest.groups.empty() && !manifest.files.empty());
    std::set<std::string> seen;
    size_t regular = 0;
    for (size_t i = 0; i < manifest.files.size(); ++i) {
        const vuni::pack::ManifestFile& file = manifest.files[i];
        const vuni::PackageEntry& f = file.entry;
        Check(!file.path.empty() && IsPlainName(f.sourceName) && file.line >= 1 &&
              file.line <= lines);
        if (f.groupIndex == vuni::kIntroSoundGroup) {
            Check(i == 0);
            continue;
        }
        ++regular;
        Check(f.groupIndex >= 0 && static_cast<size_t>(f.groupIndex) < manifest.groups.size());
        Check(f.compileOrder >= 0 && f.destination.ends_with('\\') &&
              f.destination.find('/') == std::string::npos);
        Check(seen.insert(std::to_string(f.groupIndex) + "|" + vuni::Lower(f.destination) + "|" +
                          vuni::Lower(f.sourceName))
                  .second);
    }
    Check(regular > 0);
    for (const vuni::pack::ManifestError& w : vuni::pack::ManifestWarnings(manifest)) {
        Check(w.line >= 0 && w.line <= lines && !w.message.empty());
    }
    return 0;
}
