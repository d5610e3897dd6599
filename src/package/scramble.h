// The reversible byte scrambling of package texts and stored file data.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vuni {

// Transforms length bytes in place; index 0 is the buffer's first byte. Scrambling twice
// gives back the input, so the same routine serves writing and reading.
void Scramble(void* buffer, int64_t length);

} // namespace vuni
