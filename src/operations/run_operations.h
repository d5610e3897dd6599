// The operation runner: the chosen operation's chain of steps, the error summary and the
// final state of the window.
#pragma once

#include "operations/operation_context.h"

namespace vuni {

// The steps a chain calls. DefaultOperationSteps() binds them to the operations of this
// library and to ctx.updateDefaultJss; tests may replace single steps.
struct OperationSteps {
    std::function<bool(OperationContext&)> copyFilesToFolder;
    std::function<bool(OperationContext&, bool backupFirst)> installFiles;
    std::function<bool(OperationContext&, bool removeMode)> updateDefaultJss;
    std::function<bool(OperationContext&, bool remove)> compileScripts;
    std::function<bool(OperationContext&, bool remove)> aliasUpdate;
    std::function<bool(OperationContext&)> refreshJaws;
};

OperationSteps DefaultOperationSteps();

// Runs the chain of ctx.kind to completion and reports the outcome. Returns the error
// summary: empty when every step succeeded, else one line per failed chain.
std::string RunOperations(OperationContext& ctx, const OperationSteps& steps);
std::string RunOperations(OperationContext& ctx);

} // namespace vuni
