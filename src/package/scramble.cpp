#include "package/scramble.h"

#include <array>
#include <bit>
#include <cstring>

namespace vuni {
namespace {

// One table per position modulo 4.
constexpr std::array<std::array<uint8_t, 256>, 4> MakeTables() {
    std::array<std::array<uint8_t, 256>, 4> t{};
    for (unsigned b = 0; b < 256; ++b) {
        t[0][b] = static_cast<uint8_t>(((b & 0xAA) >> 1) | ((b & 0x55) << 1));
        t[1][b] = static_cast<uint8_t>(((b & 0xCC) >> 2) | ((b & 0x33) << 2));
        t[2][b] = static_cast<uint8_t>(((b & 0xF0) >> 4) | ((b & 0x0F) << 4));
        t[3][b] = static_cast<uint8_t>((b & 0x18) | ((b & 0xE0) >> 5) | ((b & 0x07) << 5));
    }
    return t;
}

constexpr auto kTables = MakeTables();

// Four bytes at a time, each byte lane with its own bit exchange; the masks keep every
// shift inside its byte.
uint32_t ScrambleWord(uint32_t w) {
    return ((w & 0x000000AAu) >> 1) | ((w & 0x00000055u) << 1) | ((w & 0x0000CC00u) >> 2) |
           ((w & 0x00003300u) << 2) | ((w & 0x00F00000u) >> 4) | ((w & 0x000F0000u) << 4) |
           (w & 0x18000000u) | ((w & 0xE0000000u) >> 5) | ((w & 0x07000000u) << 5);
}

} // namespace

void Scramble(void* buffer, int64_t length) {
    if (buffer == nullptr || length < 1) {
        return;
    }
    auto* p = static_cast<uint8_t*>(buffer);
    const auto n = static_cast<size_t>(length);
    size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // Blocks of a fixed size, which the compiler turns into vector code.
        constexpr size_t kWords = 16;
        for (; i + kWords * 4 <= n; i += kWords * 4) {
            uint32_t w[kWords];
            std::memcpy(w, p + i, sizeof w);
            for (size_t k = 0; k < kWords; ++k) {
                w[k] = ScrambleWord(w[k]);
            }
            std::memcpy(p + i, w, sizeof w);
        }
    }
    for (; i < n; ++i) {
        p[i] = kTables[i & 3][p[i]];
    }
}

} // namespace vuni
