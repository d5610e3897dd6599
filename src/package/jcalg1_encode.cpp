#include "package/jcalg1.h"

namespace vuni {

// No encoder yet: nothing is packed, every file is stored.
std::string Jcalg1Encode(const uint8_t*, size_t, int) {
    return {};
}

} // namespace vuni
