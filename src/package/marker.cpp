#include "package/marker.h"

namespace vuni {
namespace {
// Kept apart, and joined only at run time.
const char* volatile kMarkerFirstHalf = "<([éé_ BeGin ";
const char* volatile kMarkerSecondHalf = " DaTas _èè])>";
} // namespace

std::string PackageMarker() {
    std::string marker(kMarkerFirstHalf);
    marker += kMarkerSecondHalf;
    return marker;
}

} // namespace vuni
