// JCALG1 decoder. The bitstream is read MSB first from 32-bit little-endian words through a
// 64-bit buffer. Past the last whole word the reader supplies zero bits and counts them; a
// stream that needed any of them is rejected at its end token, so the token loop itself
// needs no bounds tests on the input. Every write is checked against the output size.
#include "package/jcalg1.h"
#include "package/jcalg1_format.h"

#include <array>
#include <cstring>

namespace vuni {
namespace {

using jcalg1::LoadLe32;

// The reader's state must stay in registers through the token loop, which only happens when
// every one of its calls is inlined.
#if defined(__GNUC__)
#define JCALG1_INLINE [[gnu::always_inline]] inline
#else
#define JCALG1_INLINE inline
#endif

// Gamma codes of up to four bit pairs, indexed by the next 8 bits: value | bits used << 8,
// or 0 when the code is longer.
constexpr std::array<uint16_t, 256> MakeGammaTable() {
    std::array<uint16_t, 256> table{};
    for (unsigned pattern = 0; pattern < 256; ++pattern) {
        unsigned v = 1;
        for (unsigned pair = 0; pair < 4; ++pair) {
            const unsigned bits = pattern >> (6 - 2 * pair);
            v = 2 * v + ((bits >> 1) & 1);
            if ((bits & 1) == 0) {
                table[pattern] = static_cast<uint16_t>(v | (2 * (pair + 1)) << 8);
                break;
            }
        }
    }
    return table;
}
constexpr std::array<uint16_t, 256> kGammaTable = MakeGammaTable();

class BitReader {
public:
    BitReader(const uint8_t* words, size_t wordCount) : next_(words), end_(words + wordCount * 4) {}

    // Makes at least 33 bits available.
    JCALG1_INLINE void Refill() {
        if (count_ <= 32) {
            uint32_t w = 0;
            if (next_ != end_) {
                w = LoadLe32(next_);
                next_ += 4;
            } else {
                ++padWords_;
            }
            buf_ |= static_cast<uint64_t>(w) << (32 - count_);
            count_ += 32;
        }
    }

    // 1 <= n <= 32.
    JCALG1_INLINE uint32_t Get(unsigned n) {
        if (count_ < n) {
            Refill();
        }
        const auto v = static_cast<uint32_t>(buf_ >> (64 - n));
        buf_ <<= n;
        count_ -= n;
        return v;
    }

    uint64_t Peek() const { return buf_; }
    unsigned Count() const { return count_; }
    JCALG1_INLINE void Skip(unsigned n) {
        buf_ <<= n;
        count_ -= n;
    }

    // Interleaved gamma code, >= 2. Returns 0 for a value that does not fit 31 bits.
    JCALG1_INLINE uint32_t Gamma() {
        if (count_ < 8) {
            Refill();
        }
        const uint32_t e = kGammaTable[buf_ >> 56];
        if (e != 0) {
            Skip(e >> 8);
            return e & 0xFF;
        }
        return LongGamma();
    }

    JCALG1_INLINE uint32_t LongGamma() {
        uint32_t v = 1;
        for (;;) {
            if (count_ < 2) {
                Refill();
            }
            const auto pair = static_cast<uint32_t>(buf_ >> 62);
            buf_ <<= 2;
            count_ -= 2;
            v = 2 * v + (pair >> 1);
            if ((pair & 1) == 0) {
                return v;
            }
            if (v >= 0x40000000u) {
                return 0;
            }
        }
    }

    // True when the bits consumed so far all came from the stream.
    bool WithinStream() const { return static_cast<uint64_t>(padWords_) * 32 <= count_; }

private:
    const uint8_t* next_;
    const uint8_t* end_;
    uint64_t buf_ = 0;
    unsigned count_ = 0;
    size_t padWords_ = 0;
};

// Copies len bytes from distance dist back, forward, so that overlapping copies repeat.
// The caller has checked 1 <= dist <= out - start and len <= limit - out.
inline uint8_t* CopyMatch(uint8_t* out, const uint8_t* limit, size_t dist, size_t len) {
    const uint8_t* from = out - dist;
    uint8_t* const stop = out + len;
    if (static_cast<size_t>(limit - out) >= len + 16) {
        // Whole blocks; the last one may run up to 15 bytes past the match, still inside the
        // buffer, and those bytes are written again by what follows.
        if (dist >= len && len > 64) {
            std::memcpy(out, from, len);
            return stop;
        }
        if (dist >= 16) {
            do {
                std::memcpy(out, from, 16);
                out += 16;
                from += 16;
            } while (out < stop);
            return stop;
        }
        if (dist >= 8) {
            do {
                std::memcpy(out, from, 8);
                out += 8;
                from += 8;
            } while (out < stop);
            return stop;
        }
    }
    if (dist == 1) {
        std::memset(out, *from, len);
        return stop;
    }
    while (out < stop) {
        *out++ = *from++;
    }
    return stop;
}

} // namespace

size_t Jcalg1Decode(const uint8_t* src, size_t srcSize, uint8_t* dst, size_t plainSize) {
    if (src == nullptr || srcSize < jcalg1::kHeaderSize || src[0] != jcalg1::kSignature0 ||
        src[1] != jcalg1::kSignature1) {
        return 0;
    }
    if (LoadLe32(src + 2) != plainSize || (plainSize != 0 && dst == nullptr)) {
        return 0;
    }
    const uint32_t checksum = LoadLe32(src + 6);

    BitReader in(src + jcalg1::kHeaderSize, (srcSize - jcalg1::kHeaderSize) / 4);
    uint8_t* out = dst;
    uint8_t* const limit = dst + plainSize;
    unsigned literalBits = 8;
    uint32_t literalMask = 0xFF;
    uint8_t literalBase = 0;
    unsigned indexBase = jcalg1::kInitialIndexBase;
    size_t lastIndex = jcalg1::kInitialLastIndex;

    auto match = [&](size_t dist, size_t len) {
        if (dist == 0 || dist > static_cast<size_t>(out - dst) ||
            len > static_cast<size_t>(limit - out)) {
            return false;
        }
        out = CopyMatch(out, limit, dist, len);
        return true;
    };

    for (;;) {
        in.Refill();
        const uint64_t top = in.Peek();
        if (top >> 63) {
            // Literal: flag and field are within the 33 bits at hand.
            if (out == limit) {
                return 0;
            }
            *out++ =
                static_cast<uint8_t>(((top >> (63 - literalBits)) & literalMask) + literalBase);
            in.Skip(1 + literalBits);
            continue;
        }
        if (top >> 62) {
            // Normal phrase.
            in.Skip(2);
            const uint32_t h = in.Gamma();
            if (h == 0) {
                return 0;
            }
            if (h == 2) {
                const uint32_t len = in.Gamma();
                if (len == 0 || !match(lastIndex, len)) {
                    return 0;
                }
                continue;
            }
            const uint64_t index = static_cast<uint64_t>(h - 3) << indexBase | in.Get(indexBase);
            if (index == 0 || index > static_cast<uint64_t>(out - dst)) {
                return 0;
            }
            lastIndex = static_cast<size_t>(index);
            const uint32_t len = in.Gamma();
            if (len == 0 ||
                !match(lastIndex, len + jcalg1::LengthBonus(static_cast<uint32_t>(index)))) {
                return 0;
            }
            continue;
        }
        in.Skip(3);
        if (top >> 61) {
            // One-byte phrase or escape.
            const uint32_t v = in.Get(4);
            if (v >= 2) {
                if (!match(v - 1, 1)) {
                    return 0;
                }
            } else if (v == 1) {
                if (out == limit) {
                    return 0;
                }
                *out++ = 0;
            } else if (in.Get(1) != 0) {
                // Raw blocks of 256 bytes, chained by 1-bits.
                do {
                    if (static_cast<size_t>(limit - out) < jcalg1::kRawBlockSize) {
                        return 0;
                    }
                    // Four bytes per read: the first one is the most significant.
                    for (size_t i = 0; i < jcalg1::kRawBlockSize; i += 4) {
                        const uint32_t word = in.Get(32);
                        out[0] = static_cast<uint8_t>(word >> 24);
                        out[1] = static_cast<uint8_t>(word >> 16);
                        out[2] = static_cast<uint8_t>(word >> 8);
                        out[3] = static_cast<uint8_t>(word);
                        out += 4;
                    }
                } while (in.Get(1) != 0);
            } else if (in.Get(1) != 0) {
                literalBits = 8;
                literalMask = 0xFF;
                literalBase = 0;
            } else {
                literalBits = 7;
                literalMask = 0x7F;
                literalBase = static_cast<uint8_t>(in.Get(8));
            }
            continue;
        }
        // Short match or control.
        const uint32_t fields = in.Get(9);
        const uint32_t d = fields >> 2;
        const uint32_t c = fields & 3;
        if (d != 0) {
            lastIndex = d;
            if (!match(d, c + 2)) {
                return 0;
            }
            continue;
        }
        if (c == 0) {
            break; // end of stream
        }
        const uint32_t base = in.Get(c + 3);
        if (base == 0 || base > jcalg1::kMaxIndexBase) {
            return 0;
        }
        indexBase = base;
    }

    if (!in.WithinStream() || out != limit) {
        return 0;
    }
    if (checksum != 0 && jcalg1::Checksum(dst, plainSize) != checksum) {
        return 0;
    }
    return plainSize;
}

} // namespace vuni
