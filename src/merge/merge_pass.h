// The merge pass: applies one merge file's directives to a prepared default script.
#pragma once

#include "merge/jss_text.h"
#include "merge/merge_directive.h"

#include <string>

namespace vuni {

// Expects PrepareJssText to have run with file.tag just before. Clears conflicts first;
// afterwards conflicts is empty when the merge went through.
void MergeIntoJssText(JssText& jss, const MergeFile& file, std::string& conflicts);

} // namespace vuni
