// What vunipack build warns an author about: packages that build but will not work as
// meant on a user's machine.
#pragma once

#include "manifest.h"

#include <string>
#include <string_view>
#include <vector>

namespace vuni::pack {

// The manifest's warnings, each with the line it concerns (0: the whole manifest), in line
// order.
std::vector<ManifestError> ManifestWarnings(const Manifest& manifest);

// A warning about a file's bytes, or nothing: a script saved as UTF-8 reaches the viewer
// and the screen reader's compiler as the wrong characters.
std::string ContentWarning(const ManifestFile& file, std::string_view bytes);

} // namespace vuni::pack
