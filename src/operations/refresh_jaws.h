// Making the running screen reader take the changes: the notice about its next start, or
// its restart on the user's request; and the configuration reload kept beside them.
#pragma once

#include "operations/operation_context.h"

namespace vuni {

// The last step of both chains; false only when a restart was attempted and the screen
// reader could not be started again.
bool RefreshJaws(OperationContext& ctx);

// Stops the running screen reader with its stop program (waiting at most
// ctx.processTimeoutMs) and starts it again; true when it was started again.
bool RestartJaws(OperationContext& ctx);

// Asks the running screen reader, through its API library in the install path, to reload
// every configuration; true when the call reported success. Not chosen by RefreshJaws.
bool ReloadJawsConfig(OperationContext& ctx);

} // namespace vuni
