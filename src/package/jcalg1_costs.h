// Bit costs of the JCALG1 tokens, shared by the encoder's parses and its emitter.
#pragma once

#include "package/jcalg1_bit_writer.h"
#include "package/jcalg1_format.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace vuni::jcalg1 {

inline constexpr uint32_t kInfinite = std::numeric_limits<uint32_t>::max();
inline constexpr uint32_t kZeroOrNearByteCost = 7;   // 001 + 4 bits
inline constexpr uint32_t kShortMatchCost = 12;      // 000 + 7 + 2 bits
inline constexpr uint32_t kIndexBaseChangeCost = 16; // 000 0000000 01 + 4 bits
inline constexpr size_t kNearByteReach = 14;
inline constexpr uint32_t kMaxShortDistance = 127;
inline constexpr uint32_t kMaxShortLength = 5;

// A step of a parse: length 1 is one byte (distance: its near distance, or 0), longer ones
// copy from distance.
struct Token {
    uint32_t length;
    uint32_t distance;
};

// Bits of a same-index phrase of length len.
inline uint32_t RepeatCost(uint32_t len) {
    return 4 + GammaBits(len);
}

// Bits of the distance part of an explicit-index phrase.
inline uint32_t IndexCost(uint32_t dist, unsigned indexBase) {
    return 2 + GammaBits((dist >> indexBase) + 3) + indexBase;
}

// Bits of a phrase copying len bytes from dist when the last index is last; kInfinite when
// no token can say it.
inline uint32_t MatchCost(uint32_t dist, uint32_t len, uint32_t last, unsigned indexBase) {
    if (dist == last) {
        return RepeatCost(len);
    }
    if (dist <= kMaxShortDistance && len <= kMaxShortLength) {
        return kShortMatchCost;
    }
    const uint32_t bonus = LengthBonus(dist);
    if (len < bonus + 2) {
        return kInfinite;
    }
    return IndexCost(dist, indexBase) + GammaBits(len - bonus);
}

// The latest position of each byte value, for the one-byte phrase that copies a byte from up
// to 14 bytes back. Positions are seen in increasing order.
class NearBytes {
public:
    NearBytes() { lastSeen_.fill(-1); }

    // Distance (1..14) of the nearest earlier copy of the byte at pos, or 0.
    uint32_t Distance(const uint8_t* data, size_t pos) const {
        const int64_t seen = lastSeen_[data[pos]];
        if (seen < 0 || pos - static_cast<size_t>(seen) > kNearByteReach) {
            return 0;
        }
        return static_cast<uint32_t>(pos - static_cast<size_t>(seen));
    }

    void See(const uint8_t* data, size_t pos) { lastSeen_[data[pos]] = static_cast<int64_t>(pos); }

private:
    std::array<int64_t, 256> lastSeen_{};
};

} // namespace vuni::jcalg1
