// What the stand-ins for the screen reader's programs share: where they are, and the
// journal each keeps beside its own file so that tests can tell what was asked of it.
//
// Built names: on Windows scompile.exe, jfw.exe, JfwKill.exe and JfwAPI.dll; natively
// scompile, jfw, JfwKill and JfwAPI.so (the simulated Windows copies them under their
// Windows names, which Linux does not mind).
#pragma once

#include <string>

namespace vuni::standin {

inline constexpr char kScompileJournal[] = "scompile.journal";
inline constexpr char kJfwJournal[] = "jfw.journal";
inline constexpr char kJfwKillJournal[] = "JfwKill.journal";
inline constexpr char kJfwApiJournal[] = "JfwAPI.journal";

// Natively, JfwKill ends only the jfw processes whose executable path begins with the
// value of this variable, or else of VUNI_SIM_ROOT (the sandbox of the simulated Windows
// that runs it), when one is set, so that parallel tests leave each other alone.
inline constexpr char kKillScopeVariable[] = "VUNI_SANDBOX";

// The folder of the running program, with a final separator.
std::string OwnFolder();
// The folder of the module holding address (the DLL itself), with a final separator.
std::string ModuleFolder(const void* address);
std::string CurrentFolder();
// The path as the installer names it on Windows. Natively a path below the simulated
// machine's drives ($VUNI_SIM_ROOT/c/...) becomes "C:\\..." in Windows-1252, so that the
// journals read the same under the simulated Windows as under Windows itself; any other
// path stays as it is. (standin_paths.cpp)
std::string MachinePath(const std::string& path);
// Appends one line (and a line end) to the file; false when it cannot.
bool AppendLine(const std::string& file, const std::string& line);

} // namespace vuni::standin
