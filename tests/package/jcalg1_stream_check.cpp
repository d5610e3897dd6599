#include "jcalg1_stream_check.h"

#include "package/jcalg1_format.h"

namespace vuni::testing {
namespace {

class Bits {
public:
    explicit Bits(const std::string& block) : block_(block) {}
    bool Bit() {
        if (left_ == 0) {
            if (next_ + 4 > block_.size()) {
                overrun_ = true;
                return false;
            }
            word_ = jcalg1::LoadLe32(reinterpret_cast<const uint8_t*>(block_.data()) + next_);
            next_ += 4;
            left_ = 32;
        }
        --left_;
        return ((word_ >> left_) & 1) != 0;
    }
    uint32_t Field(unsigned n) {
        uint32_t v = 0;
        while (n-- > 0) {
            v = v << 1 | (Bit() ? 1u : 0u);
        }
        return v;
    }
    uint64_t Gamma() {
        uint64_t v = 1;
        do {
            v = 2 * v + (Bit() ? 1 : 0);
        } while (Bit() && v < (uint64_t{1} << 40));
        return v;
    }
    bool Overrun() const { return overrun_; }
    bool RestOfWordIsZero() const { return left_ == 0 || (word_ & ((1u << left_) - 1)) == 0; }
    bool AtEnd() const { return next_ == block_.size(); }

private:
    const std::string& block_;
    size_t next_ = jcalg1::kHeaderSize;
    uint32_t word_ = 0;
    unsigned left_ = 0;
    bool overrun_ = false;
};

} // namespace

StreamCheck CheckStream(const std::string& block, const std::string& plain) {
    StreamCheck r;
    const auto* bytes = reinterpret_cast<const uint8_t*>(block.data());
    if (block.size() < jcalg1::kHeaderSize || block[0] != 'J' || block[1] != 'C' ||
        jcalg1::LoadLe32(bytes + 2) != plain.size()) {
        r.fault = "header";
        return r;
    }
    if (jcalg1::LoadLe32(bytes + 6) != 0 &&
        jcalg1::LoadLe32(bytes + 6) !=
            jcalg1::Checksum(reinterpret_cast<const uint8_t*>(plain.data()), plain.size())) {
        r.fault = "checksum";
        return r;
    }
    if ((block.size() - jcalg1::kHeaderSize) % 4 != 0) {
        r.fault = "not whole words";
        return r;
    }
    Bits in(block);
    int literalBits = 0; // no width yet
    uint32_t literalBase = 0;
    unsigned indexBase = 8;
    uint64_t last = 1;
    std::string out;
    auto copy = [&](uint64_t dist, uint64_t len) {
        if (dist == 0 || dist > out.size() || len > plain.size() - out.size()) {
            r.fault = "copy outside the output";
            return;
        }
        r.farthest = std::max<size_t>(r.farthest, dist);
        for (uint64_t i = 0; i < len; ++i) {
            out.push_back(out[out.size() - dist]);
        }
    };
    bool first = true;
    while (r.fault.empty()) {
        if (in.Overrun()) {
            r.fault = "stream ends without an end token";
            break;
        }
        const bool literal = in.Bit();
        if (first && (literal || in.Field(2) != 0b01 || in.Field(5) != 0)) {
            r.fault = "the stream does not start with a literal width";
            break;
        }
        if (first) {
            // 001 0000 0 read; now the width bit.
            literalBits = in.Bit() ? 8 : 7;
            literalBase = literalBits == 8 ? 0 : in.Field(8);
            ++r.literalSizeChanges;
            first = false;
            continue;
        }
        if (literal) {
            if (out.size() == plain.size()) {
                r.fault = "too long";
                break;
            }
            out.push_back(
                static_cast<char>(in.Field(static_cast<unsigned>(literalBits)) + literalBase));
            ++(literalBits == 7 ? r.literals7 : r.literals8);
        } else if (in.Bit()) {
            const uint64_t h = in.Gamma();
            if (h == 2) {
                ++r.sameIndex;
                copy(last, in.Gamma());
            } else {
                ++r.explicitIndex;
                last = (h - 3) << indexBase | in.Field(indexBase);
                copy(last, in.Gamma() + jcalg1::LengthBonus(static_cast<uint32_t>(last)));
            }
        } else if (in.Bit()) {
            const uint32_t v = in.Field(4);
            if (v >= 2) {
                ++r.nearBytes;
                copy(v - 1, 1);
            } else if (v == 1) {
                ++r.zeroBytes;
                out.push_back('\0');
            } else if (in.Bit()) {
                do {
                    ++r.rawBlocks;
                    for (int i = 0; i < 256; ++i) {
                        out.push_back(static_cast<char>(in.Field(8)));
                    }
                } while (in.Bit());
            } else {
                ++r.literalSizeChanges;
                literalBits = in.Bit() ? 8 : 7;
                literalBase = literalBits == 8 ? 0 : in.Field(8);
            }
        } else {
            const uint32_t d = in.Field(7);
            const uint32_t c = in.Field(2);
            if (d != 0) {
                ++r.shortMatches;
                last = d;
                copy(d, c + 2);
            } else if (c == 0) {
                if (in.Overrun()) {
                    r.fault = "stream ends without an end token";
                } else if (!in.RestOfWordIsZero()) {
                    r.fault = "padding is not zero";
                } else if (!in.AtEnd()) {
                    r.fault = "words after the end token";
                } else if (out != plain) {
                    r.fault = "output differs";
                }
                break;
            } else {
                ++r.indexBaseChanges;
                indexBase = in.Field(c + 3);
                if (indexBase == 0 || indexBase >= 32) {
                    r.fault = "index base out of range";
                }
            }
        }
    }
    return r;
}

} // namespace vuni::testing
