// Match finder for the JCALG1 encoder: the latest position of each 2-byte value and of each
// 3-byte hash, and for the longer matches either hash chains or binary trees over 4-byte
// hashes; optionally a chain over 16-byte hashes to find the longest of many long matches.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vuni::jcalg1 {

// Longest match sent as one phrase: its length stays well inside the 31 bits a decoder's
// gamma code holds.
inline constexpr size_t kMaxMatchLength = size_t{1} << 28;

struct Match {
    uint32_t length;
    uint32_t distance;
};

// Length of the common prefix of a and b, at most limit bytes.
inline size_t CommonLength(const uint8_t* a, const uint8_t* b, size_t limit) {
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

class MatchFinder {
public:
    // window: the largest distance plus one, a power of two. depth: chain or tree steps per
    // search. The search stops at the first match of niceLength bytes or more. tree: keep the
    // positions of each hash in a binary tree sorted by what follows them, which finds the
    // longest matches in far fewer steps than a chain when the data repeats a lot.
    // longChain: also keep the chain that Longest walks.
    MatchFinder(const uint8_t* data, size_t size, size_t window, unsigned depth, size_t niceLength,
                bool tree = false, bool longChain = false);

    // Matches at pos by increasing length and decreasing distance: each is the nearest one
    // found of its length or more. pos is then entered into the tables. Positions must be
    // visited in increasing order, each once, through Find or Skip. out must have room for
    // depth + 3 entries.
    size_t Find(size_t pos, Match* out);
    // Room Find needs in out.
    size_t MaxMatches() const { return depth_ + 3; }
    void Skip(size_t pos);
    // Skip for a position inside a long match. With trees it enters pos in the 2- and 3-byte
    // tables only: the copy the match came from stays in the tree, a little farther back, and
    // a tree walk per covered byte would cost as much as a search.
    void SkipCovered(size_t pos) {
        if (tree_) {
            InsertShort(pos);
        } else {
            Insert(pos);
        }
    }

    // The longest match at pos, measured up to limit bytes, among at most depth earlier
    // positions that share its first kLongKey bytes; the nearest of equal ones. Length 0 when
    // there is none. For data that repeats with scattered changes: the nearest long match is
    // often cut short by a change that an older copy does not have. pos must be entered.
    Match Longest(size_t pos, size_t limit, unsigned depth) const;

    static constexpr size_t kLongKey = 16;

private:
    void Insert(size_t pos);
    void InsertShort(size_t pos);
    // Walks the tree of pos's hash, puts pos at its root and, when out is given, reports the
    // matches longer than best (the nearest of each length) through add.
    template <typename Add> void TreeStep(size_t pos, Add&& add, size_t best, bool report);
    uint32_t Hash2(size_t pos) const;
    uint32_t Hash3(size_t pos) const;
    uint32_t Hash4(size_t pos) const;
    uint32_t HashLong(size_t pos) const;

    const uint8_t* data_;
    size_t size_;
    size_t window_;
    unsigned depth_;
    size_t niceLength_;
    bool tree_;
    unsigned hashBits_;
    std::vector<int32_t> head2_;
    std::vector<int32_t> head3_;
    std::vector<int32_t> head4_;
    std::vector<int32_t> prev_; // chains: the previous position of the same hash
    std::vector<int32_t> sons_; // trees: the smaller and the greater subtree of each position
    std::vector<int32_t> longHead_;
    std::vector<int32_t> longPrev_;
};

} // namespace vuni::jcalg1
