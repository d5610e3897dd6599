// Described machines: a folder that sets up a SimHost as a whole Windows machine.
//
//   registry.reg   the registry, as regedit exports it (imported with SimRegistry::Import)
//   drive_c/       the tree of drive C: (named so that it copies straight under a Wine
//                  prefix's drive_c)
//   machine.ini    the rest, in sections:
//     [machine]      versionClass=80, windows64=1, restrictedUser=0,
//                    currentFolder=C:\..., temporaryFolder=C:\..., ownProgram=C:\...\x.exe
//     [shellFolders] CSIDL number=folder, for example 26=C:\Users\alice\AppData\Roaming
//     [processes]    process id=full image path (or a bare file name for a process whose
//                    image cannot be read), in snapshot order
//     [standins]     Windows program path=stand-in name (scompile, jfw, JfwKill, JfwAPI):
//                    where a machine wants the screen reader's programs stood in for
//
// Stand-in names map to built files by platform: natively "scompile", "jfw", "JfwKill"
// and "JfwAPI.so"; for Windows "scompile.exe", "jfw.exe", "JfwKill.exe" and "JfwAPI.dll".
// A native stand-in copied under its Windows name (".exe", ".Dll") still runs: Linux does
// not look at the extension.
//
// Text in machine.ini is UTF-8 or Windows-1252.
#pragma once

#include "platform/sim/sim_host.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace vuni {

struct MachineStandin {
    std::string windowsPath; // where the machine wants it, for example C:\...\jfw.exe
    std::string name;        // scompile, jfw, JfwKill or JfwAPI
};

// machine.ini of a machine folder, parsed.
struct MachineDescription {
    int versionClass = 80;
    bool windows64 = true;
    bool restrictedUser = false;
    std::string currentFolder;
    std::string temporaryFolder;
    std::string ownProgram;
    std::vector<std::pair<int, std::string>> shellFolders;
    std::vector<std::pair<uint32_t, std::string>> processes;
    std::vector<MachineStandin> standins;
};

// Parses machine.ini text; false when a line is neither a section, a key=value pair, a
// comment (";" or "#") nor blank, or when a number is not a number.
bool ParseMachineDescription(const std::string& text, MachineDescription& out, std::string& error);

// Sets host up as the machine described in machineDir: copies drive_c/ into the sandbox's
// drive C: (the sandbox is then the test's own copy, free to change), imports
// registry.reg, applies machine.ini. When standinDir is given, the native stand-ins built
// there are copied to the places [standins] names. When description is given, it receives
// machine.ini as parsed. False, with error set, when a part of the description cannot be
// read.
bool LoadMachine(SimHost& host, const std::filesystem::path& machineDir, std::string& error,
                 const std::filesystem::path& standinDir = {},
                 MachineDescription* description = nullptr);

// The built file of a stand-in in standinDir ("jfw" -> standinDir/jfw, "JfwAPI" ->
// standinDir/JfwAPI.so); empty when it is not there.
std::filesystem::path NativeStandinFile(const std::filesystem::path& standinDir,
                                        const std::string& name);

} // namespace vuni
