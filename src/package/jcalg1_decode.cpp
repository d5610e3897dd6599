#include "package/jcalg1.h"

namespace vuni {

// No decoder yet: every packed stream is refused, as a stream the unpacker rejects would be.
size_t Jcalg1Decode(const uint8_t*, size_t, uint8_t*, size_t) {
    return 0;
}

} // namespace vuni
