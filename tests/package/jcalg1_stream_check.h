// An independent walk over a JCALG1 block that checks what a decoder without bounds checks,
// with an uninitialised literal width and a word-by-word reader, needs of a stream; it also
// counts the tokens used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vuni::testing {

struct StreamCheck {
    std::string fault; // empty when the stream is sound
    size_t literals7 = 0, literals8 = 0, zeroBytes = 0, nearBytes = 0, rawBlocks = 0;
    size_t shortMatches = 0, sameIndex = 0, explicitIndex = 0, literalSizeChanges = 0,
           indexBaseChanges = 0;
    size_t farthest = 0; // largest distance used
};

StreamCheck CheckStream(const std::string& block, const std::string& plain);

} // namespace vuni::testing
