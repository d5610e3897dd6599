// Having the screen reader's script compiler compile the installed script sources, and the
// Default.Jss of every folder that received a merge file.
#pragma once

#include "operations/operation_context.h"

#include <string>

namespace vuni {

// The compiler of the chosen folder's screen-reader version: install path + "scompile.exe".
std::string CompilerPath(const OperationContext& ctx);

// remove false: the install chain (sources, then the Default.Jss of merge files without a
// source of their own); remove true: only the Default.Jss of each merge file. true when
// nothing needed compiling or every attempted compilation succeeded.
bool CompileScripts(OperationContext& ctx, bool remove);

// Runs the compiler on one source, hidden, in the source's folder, waiting at most
// ctx.processTimeoutMs; true for exit code 0 within that time. A compiler that runs longer
// is left running.
bool CompileScript(OperationContext& ctx, const std::string& sourcePath);

} // namespace vuni
