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

inline uint64_t Load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

} // namespace

MatchFinder::MatchFinder(const uint8_t* data, size_t size, size_t window, unsigned depth,
                         size_t niceLength, bool tree, bool longChain)
    : data_(data), size_(size), window_(window), depth_(depth), niceLength_(niceLength),
      tree_(tree), hashBits_(std::clamp(static_cast<unsigned>(std::bit_width(size)), 8u, 18u)),
      head2_(size_t{1} << std::min(hashBits_, 16u), -1), head3_(size_t{1} << hashBits_, -1),
      head4_(size_t{1} << hashBits_, -1) {
    if (tree_) {
        sons_.resize(2 * window);
    } else {
        prev_.assign(window, -1);
    }
    if (longChain) {
        longHead_.assign(size_t{1} << hashBits_, -1);
        longPrev_.resize(window);
    }
}

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

uint32_t MatchFinder::HashLong(size_t pos) const {
    const uint64_t h = Load64(data_ + pos) * 0x9E3779B97F4A7C15ull ^
                       Load64(data_ + pos + 8) * 0xC2B2AE3D27D4EB4Full;
    return static_cast<uint32_t>(h >> (64 - hashBits_));
}

void MatchFinder::InsertShort(size_t pos) {
    if (pos + 1 < size_) {
        head2_[Hash2(pos)] = static_cast<int32_t>(pos);
    }
    if (pos + 2 < size_) {
        head3_[Hash3(pos)] = static_cast<int32_t>(pos);
    }
    if (!longHead_.empty() && pos + kLongKey <= size_) {
        const uint32_t h = HashLong(pos);
        longPrev_[pos & (window_ - 1)] = longHead_[h];
        longHead_[h] = static_cast<int32_t>(pos);
    }
}

void MatchFinder::Insert(size_t pos) {
    InsertShort(pos);
    if (pos + 3 < size_) {
        const uint32_t h = Hash4(pos);
        prev_[pos & (window_ - 1)] = head4_[h];
        head4_[h] = static_cast<int32_t>(pos);
    }
}

void MatchFinder::Skip(size_t pos) {
    if (!tree_) {
        Insert(pos);
        return;
    }
    InsertShort(pos);
    if (pos + 3 < size_) {
        TreeStep(
            pos, [](size_t, size_t) {}, 0, false);
    }
}

// The tree of a hash holds its positions, the latest at the root, ordered by the bytes that
// follow them (up to niceLength). Walking down from the root towards pos's place splits it
// into the positions below pos and those above, which become pos's two subtrees; the bytes
// pos shares with both bounds of the walk need not be compared again.
template <typename Add>
void MatchFinder::TreeStep(size_t pos, Add&& add, size_t best, bool report) {
    const uint32_t h = Hash4(pos);
    int32_t cand = head4_[h];
    head4_[h] = static_cast<int32_t>(pos);
    const size_t mask = window_ - 1;
    // link[1] is where the next position below pos hangs, link[0] the next one above it;
    // bound[] the bytes pos shares with the last position put there. Indexing them by the
    // comparison keeps the walk free of branches on the data, which no predictor learns.
    int32_t* link[2] = {&sons_[2 * (pos & mask)] + 1, &sons_[2 * (pos & mask)]};
    const size_t lenLimit = std::min(size_ - pos, niceLength_);
    const uint8_t* const cur = data_ + pos;
    size_t bound[2] = {0, 0};
    for (unsigned step = 0;; ++step) {
        if (cand < 0 || step >= depth_ || pos - static_cast<size_t>(cand) >= window_) {
            *link[0] = -1;
            *link[1] = -1;
            return;
        }
        int32_t* const pair = &sons_[2 * (static_cast<size_t>(cand) & mask)];
        const uint8_t* const pb = data_ + cand;
        size_t len = std::min(bound[0], bound[1]);
        if (pb[len] == cur[len]) {
            len += CommonLength(pb + len + 1, cur + len + 1, lenLimit - len - 1) + 1;
            if (report && len > best) {
                best = len;
                add(len, pos - static_cast<size_t>(cand));
            }
            if (len >= lenLimit) {
                // cand's place is taken by pos: its subtrees become pos's.
                *link[1] = pair[0];
                *link[0] = pair[1];
                return;
            }
        }
        // below: cand sorts before pos, so pos's smaller side takes it and continues in its
        // greater subtree; otherwise the other way round.
        const size_t below = pb[len] < cur[len] ? 1 : 0;
        *link[below] = cand;
        link[below] = pair + below;
        bound[below] = len;
        cand = pair[below];
    }
}

Match MatchFinder::Longest(size_t pos, size_t limit, unsigned depth) const {
    Match best{0, 0};
    if (longHead_.empty() || pos + kLongKey > size_) {
        return best;
    }
    int32_t p = longHead_[HashLong(pos)];
    const uint8_t* const cur = data_ + pos;
    for (unsigned step = 0; p >= 0 && step < depth; ++step) {
        const size_t cand = static_cast<size_t>(p);
        if (cand < pos) {
            if (pos - cand >= window_) {
                break;
            }
            const uint8_t* const pb = data_ + cand;
            if (pb[best.length] == cur[best.length]) {
                const size_t len = CommonLength(pb, cur, limit);
                if (len > best.length) {
                    best = {static_cast<uint32_t>(len), static_cast<uint32_t>(pos - cand)};
                    if (len == limit) {
                        break;
                    }
                }
            }
        }
        p = longPrev_[cand & (window_ - 1)];
    }
    return best;
}

size_t MatchFinder::Find(size_t pos, Match* out) {
    size_t count = 0;
    // Measuring further than niceLength at every position of a long repeat would cost time
    // quadratic in its length; the caller extends a match of niceLength itself.
    const size_t limit = std::min(size_ - pos, niceLength_);
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
    if (tree_) {
        InsertShort(pos);
        if (limit >= 4) {
            TreeStep(pos, add, best, true);
        }
        return count;
    }
    if (limit >= 4 && best < limit) {
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
                    if (len == limit) {
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
