// Bit-cost optimal parse for the JCALG1 encoder: over a chunk of the input, the cheapest way
// through from token to token, where each position keeps its cheapest arrivals with different
// last indexes (a phrase that reuses the last index costs a few bits instead of a dozen or
// more, so a dearer way in can pay off later).
#pragma once

#include "package/jcalg1_costs.h"
#include "package/jcalg1_literal_modes.h"
#include "package/jcalg1_match_finder.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vuni::jcalg1 {

struct ParseSettings {
    unsigned arrivals;     // ways kept into each position, 1 to kMaxArrivals
    uint32_t niceLength;   // a match this long ends the chunk and is taken at once
    uint32_t denseLengths; // every length of a match up to this one is weighed, longer ones
                           // only at their end
    unsigned longDepth;    // earlier copies weighed for the longest match when one is taken
    bool treeCovered;      // enter the bytes a taken long match covers into the tree too
};

class OptimalParse {
public:
    static constexpr unsigned kMaxArrivals = 16;
    static constexpr size_t kChunk = size_t{1} << 15;

    OptimalParse(const uint8_t* data, size_t size, uint32_t maxDistance, MatchFinder& finder,
                 const LiteralModes& modes, NearBytes& near, const ParseSettings& settings);

    // Parses from start, where the last index is last, pricing explicit indexes with
    // indexBase; appends the tokens to tokens and returns the position after them. Every
    // position before it has been entered into the finder and seen by near.
    size_t Run(size_t start, uint32_t last, unsigned indexBase, std::vector<Token>& tokens);

private:
    struct Arrival {
        uint32_t cost;
        uint32_t last;     // last index after the step that arrived here
        uint32_t length;   // that step's length; 1 for a single byte
        uint32_t distance; // its distance; for a single byte the near distance, or 0
        uint32_t from;     // the arrival it came from, at the position length bytes back
    };

    void Relax(size_t at, const Arrival& a);
    // Marks the positions after the last one reached, up to upto, as reached by nothing yet.
    void Reach(size_t upto);
    void RelaxByte(size_t i, size_t pos);
    uint32_t MeasureRepeats(size_t i, size_t pos);
    void RelaxRepeats(size_t i, uint32_t room);
    void RelaxExplicit(size_t i, uint32_t room, size_t found, unsigned indexBase);
    void Backtrack(size_t stop, unsigned slot, std::vector<Token>& tokens);
    void Cover(size_t pos, uint32_t length);
    bool Dominated(size_t i, size_t ready, uint32_t cost) const;
    // The long match taken at pos, position i of the chunk: the one covering the most for
    // its cost among the reuse of each arrival's last index and the longest explicit match.
    Token TakeLong(size_t pos, size_t i, size_t found, unsigned indexBase, unsigned& slot);

    const uint8_t* data_;
    size_t size_;
    uint32_t maxDistance_;
    MatchFinder& finder_;
    const LiteralModes& modes_;
    NearBytes& near_;
    ParseSettings settings_;
    std::vector<Arrival> arrivals_; // arrivals of chunk position i at [i * arrivals, ...)
    std::vector<uint8_t> counts_;   // how many of them
    size_t ready_ = 0;              // counts_[0..ready_] hold this chunk's arrivals
    uint32_t repLength_[kMaxArrivals] = {};
    std::vector<Match> matches_;
    std::vector<Token> path_;
};

} // namespace vuni::jcalg1
