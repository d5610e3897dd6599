#include "package/jcalg1_match_finder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vuni::jcalg1 {
namespace {

// Two-byte matches pay for themselves only close by; three-byte ones up to the distance
// where their length bonus makes them unsendable.
constexpr size_t kMaxPairDistance = 638;
constexpr size_t kMaxTripleDistance = 0x37FE;

inline uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

} // namespace

size_t CommonLength(const uint8_t* a, const uint8_t* b, size_t limit) {
    size_t n = 0;
    if constexpr (std::endian::native == std::endian::little) {
        while (n + 8 <= limit) {
            uint64_t x;
            uint64_t y;
            std::memcpy(&x, a + n, 8);
            std::memcpy(&y, b + n, 8);
            if (x != y) {
                return n + static_cast<size_t>(std::countr_zero(x ^ y)) / 8;
            }
            n += 8;
        }
    }
    while (n < limit && a[n] == b[n]) {
        ++n;
    }
    return n;
}

MatchFinder::MatchFinder(const uint8_t* data, size_t size, size_t window, unsigned depth,
                         size_t niceLength)
    : data_(data), size_(size), window_(window), depth_(depth), niceLength_(niceLength),
      hashBits_(std::clamp(static_cast<unsigned>(std::bit_width(size)), 8u, 18u)),
      head2_(size_t{1} << std::min(hashBits_, 16u), -1), head3_(size_t{1} << hashBits_, -1),
      head4_(size_t{1} << hashBits_, -1), prev_(window, -1) {}

uint32_t MatchFinder::Hash2(size_t pos) const {
    const uint32_t v = static_cast<uint32_t>(data_[pos]) | static_cast<uint32_t>(data_[pos + 1])
                                                               << 8;
    return (v * 2654435761u) >> (32 - std::min(hashBits_, 16u));
}

uint32_t MatchFinder::Hash3(size_t pos) const {
    const uint32_t v = static_cast<uint32_t>(data_[pos]) |
                       static_cast<uint32_t>(data_[pos + 1]) << 8 |
                       static_cast<uint32_t>(data_[pos + 2]) << 16;
    return (v * 2654435761u) >> (32 - hashBits_);
}

uint32_t MatchFinder::Hash4(size_t pos) const {
    return (Load32(data_ + pos) * 2246822519u) >> (32 - hashBits_);
}

void MatchFinder::Insert(size_t pos) {
    if (pos + 1 < size_) {
        head2_[Hash2(pos)] = static_cast<int32_t>(pos);
    }
    if (pos + 2 < size_) {
        head3_[Hash3(pos)] = static_cast<int32_t>(pos);
    }
    if (pos + 3 < size_) {
        const uint32_t h = Hash4(pos);
        prev_[pos & (window_ - 1)] = head4_[h];
        head4_[h] = static_cast<int32_t>(pos);
    }
}

size_t MatchFinder::Find(size_t pos, Match* out) {
    size_t count = 0;
    const size_t limit = std::min(size_ - pos, kMaxMatchLength);
    const uint8_t* const cur = data_ + pos;
    size_t best = 1;
    auto add = [&](size_t len, size_t dist) {
        // A nearer match of a greater length makes the farther, shorter ones useless.
        while (count != 0 && out[count - 1].distance >= dist) {
            --count;
        }
        out[count++] = {static_cast<uint32_t>(len), static_cast<uint32_t>(dist)};
        best = len;
    };
    auto consider = [&](int32_t p, size_t maxDist) {
        if (p < 0) {
            return;
        }
        const size_t dist = pos - static_cast<size_t>(p);
        if (dist > maxDist || dist >= window_) {
            return;
        }
        const size_t len = CommonLength(data_ + p, cur, limit);
        if (len > best) {
            add(len, dist);
        }
    };
    if (limit >= 2) {
        consider(head2_[Hash2(pos)], kMaxPairDistance);
    }
    if (limit >= 3) {
        consider(head3_[Hash3(pos)], kMaxTripleDistance);
    }
    if (limit >= 4 && best < niceLength_ && best < limit) {
        int32_t p = head4_[Hash4(pos)];
        for (unsigned step = 0; p >= 0 && step < depth_; ++step) {
            const size_t dist = pos - static_cast<size_t>(p);
            if (dist >= window_) {
                break;
            }
            const uint8_t* const cand = data_ + p;
            if (cand[best] == cur[best] && Load32(cand) == Load32(cur)) {
                const size_t len = CommonLength(cand, cur, limit);
                if (len > best) {
                    add(len, dist);
                    if (len == limit || len >= niceLength_) {
                        break;
                    }
                }
            }
            p = prev_[static_cast<size_t>(p) & (window_ - 1)];
        }
    }
    Insert(pos);
    return count;
}

} // namespace vuni::jcalg1
