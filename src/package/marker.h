// The line that separates the program image from the package.
#pragma once

#include <string>

namespace vuni {

// The 26-byte marker, assembled at run time from its two halves so that no program image
// holds it whole (an image that held it as a line would be taken for the package start).
std::string PackageMarker();

} // namespace vuni
