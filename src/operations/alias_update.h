// Registering the chosen group's aliases in the destination's ConfigNames.ini.
#pragma once

#include "operations/operation_context.h"

namespace vuni {

// The path of the destination's ConfigNames.ini.
std::string ConfigNamesPath(const OperationContext& ctx);

// Adds (remove false) or removes (remove true) the group's aliases; false when the file
// cannot be prepared, read or rewritten. The file is replaced only once the new content is
// complete, so a failed write leaves the old file in place.
bool AliasUpdate(OperationContext& ctx, bool remove);

} // namespace vuni
