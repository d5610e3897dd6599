// A simulated Windows on Linux: a real Host over a sandbox folder.
//
// Drive letters map to folders of the sandbox ("C:\x\y" is <root>/c/x/y). Windows names are
// matched without regard to case, as on Windows, and are kept in UTF-8 on the Linux side so
// that a described machine's tree can be read and written as ordinary files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/host.h"

namespace vuni {

// Faults injected into the simulated file system, to test what a failure leaves behind.
struct SimFaults {
    // Bytes the disk can still take, counted over every write; a write beyond them stops
    // there and fails, as on a full disk. -1: no limit.
    int64_t freeBytes = -1;
    // Windows paths (files or folders, without regard to case) below which nothing can be
    // written, replaced, copied to, deleted or created.
    std::vector<std::string> readOnly;
};

// ---- processes: what StartProcess was asked, and the children it started.
struct SimProcessStart {
    std::string program;
    std::string commandLine;
    std::string workingFolder;
    bool hidden = false;
};

class SimChildren {
public:
    SimChildren() = default;
    ~SimChildren(); // children still running are ended with the host
    SimChildren(const SimChildren&) = delete;
    SimChildren& operator=(const SimChildren&) = delete;

    struct Child {
        int pid = 0;
        std::string program; // Windows path
        bool ended = false;
        bool released = false;
        uint32_t exitCode = 0;
    };
    std::vector<Child> children;
    std::vector<SimProcessStart> starts;
    std::vector<ProcessEntry> running; // refreshed by SimHost::StartedProcesses()
};

class SimHost : public Host {
public:
    explicit SimHost(std::filesystem::path sandboxRoot);

    const std::filesystem::path& SandboxRoot() const { return root_; }
    // The Linux path for a Windows path: existing components are found without regard to
    // case, missing ones are kept as written. Empty when the path cannot be mapped (no
    // drive letter and no current folder, a ".." above the drive root).
    std::filesystem::path ToHostPath(const std::string& windowsPath) const;

    // Maps a drive letter to another Linux folder (for example Z: to "/", as Wine does, so
    // that tools can reach any Linux file through a Windows path).
    void MapDrive(char letter, std::filesystem::path folder);

    void SetOwnProgramPath(std::string path) { ownPath_ = std::move(path); }
    void SetCurrentFolder(std::string path) { currentFolder_ = std::move(path); }
    void SetTemporaryFolder(std::string path);

    // files
    int64_t FileSize(const std::string& path) override;
    bool IsFile(const std::string& path) override;
    bool IsDirectory(const std::string& path) override;
    std::unique_ptr<HostFile> OpenRead(const std::string& path) override;
    bool WriteFile(const std::string& path, const void* data, size_t size) override;
    bool ReplaceFile(const std::string& path, const void* data, size_t size) override;
    bool CopyFile(const std::string& from, const std::string& to) override;
    bool DeleteFile(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    std::vector<FolderEntry> ListFolder(const std::string& path) override;
    std::string OwnProgramPath() override { return ownPath_; }
    std::string CurrentFolder() override { return currentFolder_; }
    std::string TemporaryFolder() override;

    void Sleep(uint32_t ms) override;
    uint64_t TickCount() override;

    // fault injection (sim_files.cpp)
    void SetFaults(SimFaults faults) { faults_ = std::move(faults); }
    SimFaults& Faults() { return faults_; }

    // processes (sim_spawn.cpp): a program is the native stand-in placed at its Windows
    // path in the sandbox. Its arguments that are drive-letter Windows paths are given as
    // Linux paths, its working folder is the Linux folder of workingFolder, and VUNI_SIM_ROOT
    // names the sandbox root.
    ProcessRun StartProcess(const std::string& program, const std::string& commandLine,
                            const std::string& workingFolder, bool hidden) override;
    bool WaitProcess(const ProcessRun& run, uint32_t timeoutMs) override;
    uint32_t ProcessExitCode(const ProcessRun& run) override;
    void ReleaseProcess(ProcessRun& run) override;
    // Loads the native shared library placed at the Windows path and calls
    // int function(const char*), with VUNI_SIM_ROOT set in this process's environment.
    LibraryCallResult CallLibraryFunction(const std::string& library, const std::string& function,
                                          const std::string& argument) override;
    // The processes started here that still run: id and Windows program path.
    const std::vector<ProcessEntry>& StartedProcesses();
    // Every StartProcess call, in order.
    const std::vector<SimProcessStart>& ProcessStarts() const { return children_.starts; }

private:
    // Whether the fault settings allow writing at a Windows path.
    bool WriteAllowed(const std::string& path) const;
    SimChildren::Child* FindChild(const ProcessRun& run);

    std::filesystem::path DriveFolder(char lowerLetter) const;

    std::filesystem::path root_;
    std::vector<std::pair<char, std::filesystem::path>> mappedDrives_;
    std::string ownPath_;
    std::string currentFolder_ = "C:\\";
    std::string tempFolder_ = "C:\\Windows\\Temp\\";
    SimFaults faults_;
    SimChildren children_;
};

} // namespace vuni
