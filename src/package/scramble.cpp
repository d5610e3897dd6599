#include "package/scramble.h"

#include <array>

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
