// vunipack merge: previews what merge files do to a default script.
#pragma once

#include <string>
#include <vector>

namespace vuni {

// Runs the command on its arguments (those after "merge"). Exit codes: 0 done, 1 a file
// could not be read or written, 2 wrong usage, 3 a conflict with another package (the
// output is then not written).
int RunMergeCommand(const std::vector<std::string>& args);

} // namespace vuni
