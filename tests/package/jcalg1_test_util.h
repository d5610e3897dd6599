// Helpers for the JCALG1 tests: the format vectors and a bit writer for hand-made streams.
#pragma once

#include "package/jcalg1.h"
#include "testing/shared_dir.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vuni::testing {

inline const std::vector<std::string>& Jcalg1VectorNames() {
    static const std::vector<std::string> names = {"one_byte",
                                                   "kabopan_teststring",
                                                   "mary_lamb_w1m",
                                                   "mary_lamb_nochecksum",
                                                   "zeros_4096",
                                                   "aaaa_1001",
                                                   "binary_mix_3000",
                                                   "ramp_2000",
                                                   "highbytes_then_zeros_12096",
                                                   "text_random_mixed_13500",
                                                   "text_large_150001_w1m",
                                                   "text_large_150001_w4k",
                                                   "synthetic_alltokens_seed107",
                                                   "synthetic_alltokens_seed113",
                                                   "synthetic_rawblocks_far_base10"};
    return names;
}

inline std::string Jcalg1Vector(const std::string& name, const char* ext) {
    return ReadHostFile(SourceDir() / "tests/package/data/jcalg1" / (name + ext));
}

inline const uint8_t* Bytes(const std::string& s) {
    return reinterpret_cast<const uint8_t*>(s.data());
}

// Decodes into a buffer of exactly plainSize bytes; returns nullopt-like empty flag by ok.
inline bool DecodeTo(const std::string& block, size_t plainSize, std::string& plain) {
    plain.assign(plainSize, '\0');
    auto* out = reinterpret_cast<uint8_t*>(plain.data());
    return Jcalg1Decode(Bytes(block), block.size(), out, plainSize) == plainSize && plainSize != 0;
}

// Writes a block by hand: bits MSB first into 32-bit little-endian words after a header.
class StreamWriter {
public:
    void Bits(uint32_t value, unsigned n) {
        for (unsigned i = n; i-- > 0;) {
            bits_.push_back(((value >> i) & 1) != 0);
        }
    }
    void Gamma(uint32_t v) {
        unsigned top = 31;
        while (((v >> top) & 1) == 0) {
            --top;
        }
        for (unsigned i = top; i-- > 0;) {
            Bits((v >> i) & 1, 1);
            Bits(i != 0 ? 1 : 0, 1);
        }
    }
    void LiteralSize8() { Bits(0b001'0000'0'1, 9); }
    void LiteralSize7(uint8_t base) {
        Bits(0b001'0000'0'0, 9);
        Bits(base, 8);
    }
    void Literal(uint32_t field, unsigned width = 8) {
        Bits(1, 1);
        Bits(field, width);
    }
    void ShortMatch(uint32_t dist, uint32_t len) {
        Bits(0, 3);
        Bits(dist, 7);
        Bits(len - 2, 2);
    }
    void Phrase(uint32_t high, uint32_t low, unsigned base, uint32_t codedLen) {
        Bits(0b01, 2);
        Gamma(high + 3);
        Bits(low, base);
        Gamma(codedLen);
    }
    void SameIndex(uint32_t len) {
        Bits(0b01, 2);
        Gamma(2);
        Gamma(len);
    }
    void SetIndexBase(uint32_t c, uint32_t value) {
        Bits(0, 3);
        Bits(0, 7);
        Bits(c, 2);
        Bits(value, c + 3);
    }
    void End() { Bits(0, 12); }

    // The block, with the given header fields; the last word is padded with zero bits.
    std::string Block(uint32_t size, uint32_t checksum = 0) const {
        std::string out = "JC";
        auto le = [&out](uint32_t v) {
            for (int i = 0; i < 4; ++i) {
                out.push_back(static_cast<char>(v >> (8 * i)));
            }
        };
        le(size);
        le(checksum);
        for (size_t w = 0; w < bits_.size(); w += 32) {
            uint32_t word = 0;
            for (size_t i = 0; i < 32; ++i) {
                word = word << 1 | ((w + i < bits_.size() && bits_[w + i]) ? 1u : 0u);
            }
            le(word);
        }
        return out;
    }

private:
    std::vector<bool> bits_;
};

} // namespace vuni::testing
