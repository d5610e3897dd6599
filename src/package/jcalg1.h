// The JCALG1 compressed block format: "JC", plain size, checksum, then a bitstream.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vuni {

// Decodes the block src[0, srcSize) into dst, which has room for plainSize bytes. Returns
// plainSize on success and 0 when the block is not a sound JCALG1 stream of exactly
// plainSize bytes. Allocates nothing; never reads or writes outside the two buffers.
size_t Jcalg1Decode(const uint8_t* src, size_t srcSize, uint8_t* dst, size_t plainSize);

} // namespace vuni
