// The vunipack commands. Each takes the arguments that follow its name and returns the
// process exit code.
#pragma once

#include <string>
#include <vector>

namespace vuni::pack {

// Exit codes shared by every command.
constexpr int kExitOk = 0;
constexpr int kExitBadInput = 1; // damaged or invalid input, or a failed write
constexpr int kExitUsage = 2;    // wrong command line

int RunBuildCommand(const std::vector<std::string>& args);
int RunListCommand(const std::vector<std::string>& args);
int RunExtractCommand(const std::vector<std::string>& args);
int RunVerifyCommand(const std::vector<std::string>& args);
int RunCheckCommand(const std::vector<std::string>& args);

} // namespace vuni::pack
