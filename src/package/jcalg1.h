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

// The smallest level that stays under 0.95 of zlib -9 on script files packed one by one: 0.945
// (about 0.68 on the whole script corpus as one stream, where the 1 MiB window counts). It
// encodes at about 3-4 MB/s of CPU time, well short of zlib -9's speed: the cost-based parse
// walks a binary tree at every byte, and inserting each byte into the tree alone allows no more
// than about 8-10 MB/s on this data. Levels 1 to 3 parse greedily over hash chains at 10-18
// MB/s but come out at 1.02 to 1.07 of zlib -9; 4 (0.954, about 20 % faster than 5) to 9 weigh
// the ways through the data by their bit cost with deeper searches, and 6 to 9 are at most
// 0.5 % smaller than 5. Decoding speed hardly depends on the level.
inline constexpr int kJcalg1DefaultLevel = 5;

// Encodes size bytes as a JCALG1 block (header with checksum, then the bitstream). level 1
// to 9 trades time for size; other values are clamped into that range. The stream starts
// with a literal-size token and ends with the end token padded to a whole word, as every
// decoder of the format expects. Returns the empty text when the data cannot be encoded (no
// bytes, or more than 2 GiB - 1).
std::string Jcalg1Encode(const uint8_t* data, size_t size, int level = kJcalg1DefaultLevel);

} // namespace vuni
