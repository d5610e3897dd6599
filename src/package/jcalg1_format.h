// Pieces of the JCALG1 block format shared by the decoder and the encoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vuni::jcalg1 {

inline constexpr size_t kHeaderSize = 10; // "JC", plain size, checksum
inline constexpr uint8_t kSignature0 = 0x4A;
inline constexpr uint8_t kSignature1 = 0x43;
inline constexpr unsigned kInitialIndexBase = 8;
inline constexpr uint32_t kInitialLastIndex = 1;
inline constexpr unsigned kMaxIndexBase = 31; // the index is a 32-bit value
inline constexpr size_t kRawBlockSize = 256;

inline uint32_t LoadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

inline void StoreLe32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

// Length added to the coded length of a phrase with an explicit index: long distances pay
// for their index with a longer minimum, very short ones are mostly sent as short matches.
inline constexpr uint32_t LengthBonus(uint32_t index) {
    if (index >= 0x10000) {
        return 3;
    }
    if (index >= 0x37FF) {
        return 2;
    }
    if (index >= 0x27F) {
        return 1;
    }
    if (index >= 0x80) {
        return 0;
    }
    return 4;
}

// Checksum of the plain data: 32-bit little-endian words, the last one taken from the final
// four bytes when the size is not a multiple of four; 0 below four bytes.
inline uint32_t Checksum(const uint8_t* data, size_t size) {
    if (size < 4) {
        return 0;
    }
    uint32_t s = 0;
    auto step = [&s](uint32_t w) {
        s += w;
        s ^= ((w << 1) | (w >> 31)) + 1;
    };
    size_t i = 0;
    for (; i + 16 <= size; i += 16) { // unrolled: the loop test costs as much as a step
        step(LoadLe32(data + i));
        step(LoadLe32(data + i + 4));
        step(LoadLe32(data + i + 8));
        step(LoadLe32(data + i + 12));
    }
    for (; i + 4 <= size; i += 4) {
        step(LoadLe32(data + i));
    }
    if (i != size) {
        step(LoadLe32(data + size - 4));
    }
    return s;
}

} // namespace vuni::jcalg1
