// The JCALG1 compressed block format: "JC", plain size, checksum, then a bitstream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vuni {

// Decodes the block src[0, srcSize) into dst, which has room for plainSize bytes. Returns
// plainSize on success and 0 when the block is not a sound JCALG1 stream of exactly
// plainSize bytes. Allocates nothing; never reads or writes outside the two buffers.
size_t Jcalg1Decode(const uint8_t* src, size_t srcSize, uint8_t* dst, size_t plainSize);

} // namespace vuni

namespace vuni {

// Encodes size bytes as a JCALG1 block (header with checksum, then the bitstream). level 1
// to 9 trades time for size (9: the largest window and the deepest search). Returns the
// empty text when the data cannot be encoded (no bytes).
std::string Jcalg1Encode(const uint8_t* data, size_t size, int level);

} // namespace vuni
