// Match finder for the JCALG1 encoder: the latest position of each 2-byte value and of each
// 3-byte hash, and hash chains over 4-byte hashes for the longer matches.
#pragma once

#include <cstddef>
#include <cstdint>
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
size_t CommonLength(const uint8_t* a, const uint8_t* b, size_t limit);

class MatchFinder {
public:
    // window: the largest distance plus one, a power of two. depth: chain steps per search.
    // The search stops at the first match of niceLength bytes or more.
    MatchFinder(const uint8_t* data, size_t size, size_t window, unsigned depth, size_t niceLength);

    // Matches at pos by increasing length and decreasing distance: each is the nearest one
    // found of its length or more. pos is then entered into the tables. Positions must be
    // visited in increasing order, each once, through Find or Skip. out must have room for
    // depth + 3 entries.
    size_t Find(size_t pos, Match* out);
    void Skip(size_t pos) { Insert(pos); }

private:
    void Insert(size_t pos);
    uint32_t Hash2(size_t pos) const;
    uint32_t Hash3(size_t pos) const;
    uint32_t Hash4(size_t pos) const;

    const uint8_t* data_;
    size_t size_;
    size_t window_;
    unsigned depth_;
    size_t niceLength_;
    unsigned hashBits_;
    std::vector<int32_t> head2_;
    std::vector<int32_t> head3_;
    std::vector<int32_t> head4_;
    std::vector<int32_t> prev_;
};

} // namespace vuni::jcalg1
