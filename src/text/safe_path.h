// The paths an installer may write to: a file of a package must land where its name and
// destination say, never above it, in a stream of another file or on a device.
#pragma once

#include <string_view>

namespace vuni {

// Why path must not be written, or nullptr when it may. Components are split at "\" and
// "/". A ".." component climbs out of the folder the path names; a ":" other than the
// one after a leading drive letter (when driveAllowed) names an alternate data stream of
// another file; a component that Windows takes for a device (CON, PRN, AUX, NUL, COM1 to
// COM9, LPT1 to LPT9, with or without an extension or trailing blanks and dots) opens the
// device instead of a file.
const char* UnsafePathReason(std::string_view path, bool driveAllowed);

} // namespace vuni
