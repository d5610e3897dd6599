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

// The default level: packed file by file as `vunipack build` packs them, the script corpus
// comes out at 0.943 of zlib -9's size (1.029 on the files under 100 KB, where literals,
// which the format sends at 7 or 8 bits each, weigh most), at about 2.5-3 MB/s. No level
// reaches 10 MB/s and zlib -9's size together: levels 1 to 3 parse greedily over hash chains
// at 14-18 MB/s but come out at 1.02 to 1.07 of zlib -9 (1.07 to 1.10 on the small files); 4
// to 9 weigh the ways through the data by their bit cost over binary trees, 4 at 0.952 and
// about 4 MB/s, 9 at 0.939 and 0.5 MB/s. Higher levels also encode small inputs at every lower
// level and keep the smallest stream, so no level comes out larger than a lower one. Decoding
// speed hardly depends on the level.
inline constexpr int kJcalg1DefaultLevel = 5;

// Encodes size bytes as a JCALG1 block (header with checksum, then the bitstream). level 1
// to 9 trades time for size; other values are clamped into that range. The stream starts
// with a literal-size token and ends with the end token padded to a whole word, as every
// decoder of the format expects. Returns the empty text when the data cannot be encoded (no
// bytes, or more than 2 GiB - 1).
std::string Jcalg1Encode(const uint8_t* data, size_t size, int level = kJcalg1DefaultLevel);

namespace jcalg1 {
// The stream of level's own parse alone, which Jcalg1Encode weighs against the lower levels'
// streams; for tests that check each parse. Same arguments and results as Jcalg1Encode.
std::string EncodeOneLevel(const uint8_t* data, size_t size, int level);
} // namespace jcalg1

} // namespace vuni
