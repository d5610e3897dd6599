// A unified diff of two texts, line by line, line ends aside: what a merge adds to and
// replaces in a default script, as an author reads it.
#pragma once

#include <string>
#include <string_view>

namespace vuni::pack {

// The unified diff (---/+++ headers, @@ hunks with context lines around each change) that
// turns before into after; empty when their lines are the same. Lines end at LF, CR LF or
// CR, and the diff's lines end with LF.
std::string UnifiedDiff(std::string_view before, std::string_view after,
                        const std::string& beforeName, const std::string& afterName,
                        int context = 3);

} // namespace vuni::pack
