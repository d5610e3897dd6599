// Bit writer for JCALG1 streams: bits MSB first into 32-bit little-endian words.
#pragma once

#include "package/jcalg1_format.h"

#include <bit>
#include <cstdint>
#include <string>

namespace vuni::jcalg1 {

// Number of bits of the interleaved gamma code of v (v >= 2).
inline unsigned GammaBits(uint32_t v) {
#if defined(__GNUC__)
    return 2 * (31 - static_cast<unsigned>(__builtin_clz(v))); // v != 0: no zero test
#else
    return 2 * (31 - static_cast<unsigned>(std::countl_zero(v)));
#endif
}

class BitWriter {
public:
    explicit BitWriter(std::string& out) : out_(out) {}

    // 0 <= n <= 32; value < 2^n.
    void Put(uint32_t value, unsigned n) {
        if (n == 0) {
            return;
        }
        acc_ = acc_ << n | value;
        count_ += n;
        if (count_ >= 32) {
            count_ -= 32;
            char word[4];
            StoreLe32(reinterpret_cast<uint8_t*>(word), static_cast<uint32_t>(acc_ >> count_));
            out_.append(word, 4);
        }
    }

    void Gamma(uint32_t v) {
        const unsigned top = 31 - static_cast<unsigned>(std::countl_zero(v));
        // Each bit below the leading one, followed by 1 when another bit follows, else 0.
        uint64_t code = 0;
        for (unsigned i = top; i-- > 0;) {
            code = code << 2 | ((v >> i) & 1) << 1 | (i != 0 ? 1u : 0u);
        }
        const unsigned n = 2 * top;
        if (n > 32) {
            Put(static_cast<uint32_t>(code >> 32), n - 32);
            Put(static_cast<uint32_t>(code), 32);
        } else {
            Put(static_cast<uint32_t>(code), n);
        }
    }

    // Pads the current word with zero bits.
    void Flush() {
        if (count_ != 0) {
            Put(0, 32 - count_);
        }
    }

private:
    std::string& out_;
    uint64_t acc_ = 0;
    unsigned count_ = 0;
};

} // namespace vuni::jcalg1
