// Choice of the literal width for the JCALG1 encoder: 8-bit literals, or 7-bit ones added to a
// base byte when the literals of a stretch fit 128 consecutive values (modulo 256).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vuni::jcalg1 {

struct LiteralMode {
    unsigned bits; // 7 or 8
    uint8_t base;  // 0 with 8 bits
    bool operator==(const LiteralMode&) const = default;
    bool Holds(uint8_t byte) const { return bits == 8 || static_cast<uint8_t>(byte - base) < 128; }
};

// The base whose 128-value window holds the most of the counted bytes.
uint8_t BestBase(const uint32_t (&histogram)[256]);

class LiteralModes {
public:
    LiteralModes(const uint8_t* data, size_t size);

    // Estimated bits of the byte at pos sent as a literal, before the parse knows which bytes
    // end up as literals.
    uint32_t EstimatedCost(size_t pos) const {
        const Block& b = blocks_[pos >> kBlockBits];
        if (!b.narrow) {
            return 9;
        }
        return static_cast<uint8_t>(data_[pos] - b.base) < 128 ? 8 : 12;
    }

    // Chooses the mode of each literal of literals, in order, for the fewest bits including
    // the mode changes, starting from current (no mode yet when started is false).
    void Choose(const std::vector<uint8_t>& literals, LiteralMode current, bool started,
                std::vector<LiteralMode>& choice) const;

private:
    static constexpr unsigned kBlockBits = 12;
    struct Block {
        bool narrow;
        uint8_t base;
    };
    const uint8_t* data_;
    std::vector<Block> blocks_;
};

} // namespace vuni::jcalg1
