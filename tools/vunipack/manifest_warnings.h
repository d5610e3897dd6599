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

// A text file of a package: script sources, headers, messages, key maps, INI and TXT.
bool IsTextFile(const std::string& name);
// The first line holding a character beyond ASCII when bytes are UTF-8 with such
// characters (line 1 with a UTF-8 byte-order mark); 0 otherwise.
int Utf8TextLine(std::string_view bytes);

// A warning about a file's bytes, or nothing: a text file saved as UTF-8 reaches the
// viewer and the screen reader's compiler as the wrong characters.
std::string ContentWarning(const ManifestFile& file, std::string_view bytes);

} // namespace vuni::pack
