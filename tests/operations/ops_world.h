// A simulated machine with one installed screen-reader version and a loaded package, and an
// OperationContext over it, for the operations tests.
#pragma once

#include "log/log.h"
#include "operations/operation_context.h"
#include "platform/sim/sim_host.h"
#include "testing/package_builder.h"
#include "testing/temp_dir.h"

#include <filesystem>
#include <string>
#include <vector>

namespace vuni::testing {

inline const std::string kUserAppData = "C:\\Users\\a\\AppData\\Roaming\\";
inline const std::string kSharedAppData = "C:\\ProgramData\\";
inline const std::string kMyDocuments = "C:\\Users\\a\\Documents\\";
inline const std::string kUserRoot = kUserAppData + "Freedom Scientific\\JAWS\\";
inline const std::string kSharedRoot = kSharedAppData + "Freedom Scientific\\JAWS\\";
inline const std::string kInstallPath = "C:\\Program Files\\Freedom Scientific\\JAWS\\11.0\\";
inline const std::string kRuntimePath =
    "C:\\Program Files\\Freedom Scientific\\RunTime JAWS\\11.0\\";
inline const std::string kScriptPath = kUserRoot + "11.0\\Settings\\fra\\";

// Placeholder rules as the environment applies them, written out here for the tests.
std::string TestExpandPlaceholders(const std::string& path, const std::string& scriptPath);
std::string TestDisplayPath(const std::string& path, const std::string& scriptPath);

struct Answered {
    std::string title;
    std::string text;
    MessageKind kind;
};

class OpsWorld {
public:
    OpsWorld();

    // Writes the installer and loads its package; rows = every entry in package order,
    // checked unless optional.
    void Load(const TestPackage& package);
    // A Linux file of the sandbox for a Windows path.
    std::filesystem::path Host(const std::string& windowsPath) const;
    void Put(const std::string& windowsPath, const std::string& bytes);
    std::string Get(const std::string& windowsPath) const; // "<missing>" when absent
    bool Exists(const std::string& windowsPath) const;
    // Places the stand-in program (or API library) at a Windows path.
    void PlaceProgram(const std::string& windowsPath);
    void PlaceLibrary(const std::string& windowsPath);
    // Lines of $VUNI_SIM_ROOT/runs.log.
    std::vector<std::string> Runs() const;
    void UncheckRow(const std::string& sourceName);

    std::string Progress() const { return progress.Text(); }
    std::string InstallLog() const { return install.Text(); }

    TempDir dir;
    SimHost host{dir.Path()};
    MemoryLineSink install;
    MemoryLineSink progress;
    Log log{install, progress};
    PackageState package;
    SettingsFolder folder;
    OperationContext ctx{host, log, package, folder};
    std::vector<MessageAnswer> answers; // given to the questions, in order
    std::vector<Answered> boxes;        // every message box shown
    bool done = false;
    std::vector<std::string> uiEvents;
};

} // namespace vuni::testing
