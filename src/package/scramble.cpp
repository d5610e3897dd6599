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

} // namespace

void Scramble(void* buffer, int64_t length) {
    if (buffer == nullptr || length < 1) {
        return;
    }
    auto* p = static_cast<uint8_t*>(buffer);
    const auto n = static_cast<size_t>(length);
    size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // Eight bytes at a time: each transform moves bits only inside a byte, so all four
        // run on the whole word and each byte takes the one for its position modulo 4.
        constexpr uint64_t kLane0 = 0x000000FF000000FFull;
        constexpr uint64_t kLane1 = kLane0 << 8;
        constexpr uint64_t kLane2 = kLane0 << 16;
        constexpr uint64_t kLane3 = kLane0 << 24;
        constexpr uint64_t kEvery = 0x0101010101010101ull;
        for (; i + 8 <= n; i += 8) {
            uint64_t w;
            std::memcpy(&w, p + i, 8);
            const uint64_t a = ((w & (0xAA * kEvery)) >> 1) | ((w & (0x55 * kEvery)) << 1);
            const uint64_t b = ((w & (0xCC * kEvery)) >> 2) | ((w & (0x33 * kEvery)) << 2);
            const uint64_t c = ((w & (0xF0 * kEvery)) >> 4) | ((w & (0x0F * kEvery)) << 4);
            const uint64_t d = (w & (0x18 * kEvery)) | ((w & (0xE0 * kEvery)) >> 5) |
                               ((w & (0x07 * kEvery)) << 5);
            w = (a & kLane0) | (b & kLane1) | (c & kLane2) | (d & kLane3);
            std::memcpy(p + i, &w, 8);
        }
    }
    for (; i + 4 <= n; i += 4) {
        p[i] = kTables[0][p[i]];
        p[i + 1] = kTables[1][p[i + 1]];
        p[i + 2] = kTables[2][p[i + 2]];
        p[i + 3] = kTables[3][p[i + 3]];
    }
    for (; i < n; ++i) {
        p[i] = kTables[i & 3][p[i]];
    }
}

} // namespace vuni
