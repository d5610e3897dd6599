// A simulated Windows on Linux: a real Host over a sandbox folder.
//
// Drive letters map to folders of the sandbox ("C:\x\y" is <root>/c/x/y). Windows names are
// matched without regard to case, as on Windows, and are kept in UTF-8 on the Linux side so
// that a described machine's tree can be read and written as ordinary files.
#pragma once

#include "platform/host.h"
#include "platform/sim/sim_name_cache.h"
#include "platform/sim/sim_registry.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vuni {

// Faults injected into the simulated file system, to test what a failure leaves behind.
struct SimFaults {
    // Bytes the disk can still take, counted over every write; a write beyond them stops
    // there and fails, as on a full disk. A file removed, replaced or emptied to be written
    // again gives its space back. -1: no limit.
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
    void SetTemporaryFolder(const std::string& path);

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

    // ---- the described machine (see sim_machine.h for loading one from a folder)
    SimRegistry& Registry() { return registry_; }
    // The folder of a shell special folder; a final "\" is dropped, as the shell gives it.
    void SetSpecialFolder(int csidl, const std::string& path);
    void SetWindowsVersionClass(int versionClass) { versionClass_ = versionClass; }
    void SetWindows64(bool is64) { windows64_ = is64; }
    // A standard user: keys of HKEY_LOCAL_MACHINE open for reading only.
    void SetRestrictedUser(bool restricted) { restrictedUser_ = restricted; }

    // The running processes, in snapshot order. A described process stands for the
    // machine's own programs; imagePath is its full Windows path, or a bare file name for a
    // process whose image path cannot be read (another user's, a protected one).
    void AddProcess(uint32_t id, std::string imagePath);
    // A real Linux child process (a native stand-in started through this host): listed
    // under its Linux pid while it runs, with imagePath as its Windows image path.
    void AddStartedProcess(uint32_t pid, std::string imagePath);
    void RemoveProcess(uint32_t id);

    // registry: keys under HKEY_LOCAL_MACHINE\SOFTWARE are seen as a 32-bit program sees
    // them: on a 64-bit machine, without KEY_WOW64_64KEY, they are read from
    // SOFTWARE\Wow6432Node.
    std::optional<std::string> RegistryReadString(RegistryRoot root, const std::string& key,
                                                  const std::string& value, uint32_t access,
                                                  size_t maxBytes) override;
    std::string RegistryEnumSubkey(RegistryRoot root, const std::string& key, uint32_t index,
                                   uint32_t access) override;
    std::string SpecialFolder(int csidl) override;
    int WindowsVersionClass() override { return versionClass_; }
    bool IsWindows64() override { return windows64_; }
    std::optional<std::vector<ProcessEntry>> ProcessSnapshot() override;
    std::string ProcessImagePath(uint32_t id, int versionClass) override;
    // desktop: the shell's "open" is recorded, not performed; tests read the list.
    bool ShellOpen(const std::string& text) override;
    const std::vector<std::string>& ShellOpened() const { return shellOpened_; }
    void SetShellOpenSucceeds(bool succeeds) { shellOpenSucceeds_ = succeeds; }

    // desktop (sim_desktop.cpp): named mutexes, top-level windows of other programs, the
    // sound output. Nothing is shown; tests read what was asked.
    bool NamedMutexExists(const std::string& name) override;
    bool CreateNamedMutex(const std::string& name) override;
    void CloseNamedMutex() override;
    // Another program holds this mutex (an instance already running).
    void AddNamedMutex(const std::string& name) { mutexes_.push_back(name); }
    void SetMutexCreationFails(bool fails) { mutexCreationFails_ = fails; }
    // The mutex this host created and still holds; empty when none.
    const std::string& OwnedMutex() const { return ownedMutex_; }
    uint64_t FindTopLevelWindow(const std::string& title) override;
    void ShowTopLevelWindow(uint64_t window, int command) override;
    // A top-level window of another program; returns its handle.
    uint64_t AddTopLevelWindow(const std::string& title);
    // The ShowWindow commands sent to a window, in order.
    std::vector<int> WindowShowCommands(uint64_t window) const;
    bool InitSound() override;
    bool PlayWav(const void* data, size_t size) override;
    void SetSoundAvailable(bool available) { soundAvailable_ = available; }
    int SoundInitCount() const { return soundInits_; }
    // Every sound played, its bytes as given.
    const std::vector<std::string>& PlayedSounds() const { return playedSounds_; }
    // Every Sleep asked for, in order.
    const std::vector<uint32_t>& Sleeps() const { return sleeps_; }
    // With virtual sleep, Sleep returns at once and moves TickCount on by the time asked.
    void SetVirtualSleep(bool on) { virtualSleep_ = on; }

    // local time: the Linux local time, unless a machine description or a test pins it.
    WallClock LocalTimeNow() override;
    void PinLocalTime(std::optional<WallClock> time) { pinnedTime_ = time; }

    // network: real POSIX sockets. SetNetworkAvailable(false) makes NetworkStartup fail.
    bool NetworkStartup() override;
    int64_t TcpConnect(const std::string& host, uint16_t port, uint32_t timeoutMs) override;
    int64_t TcpSend(int64_t socket, const void* data, size_t size) override;
    int64_t TcpReceive(int64_t socket, void* buffer, size_t size, uint32_t timeoutMs) override;
    void TcpClose(int64_t socket) override;
    void SetNetworkAvailable(bool available) { networkAvailable_ = available; }
    int NetworkStartupCount() const { return networkStartups_; }
    // The longest TcpConnect waits for a connection to be accepted, whatever it is asked.
    void SetConnectTimeout(uint32_t ms) { connectTimeoutMs_ = ms; }

private:
    struct SimProcess {
        uint32_t id = 0;
        std::string imagePath;
        bool startedChild = false;
    };
    // The full registry path of a key as opened with access; empty when it cannot be
    // opened.
    std::string OpenKeyPath(RegistryRoot root, const std::string& key, uint32_t access) const;
    bool IsAlive(const SimProcess& p) const;

public:
    // fault injection (sim_files.cpp)
    void SetFaults(SimFaults faults) { faults_ = std::move(faults); }
    SimFaults& Faults() { return faults_; }

    // processes (sim_spawn.cpp): a program is the native stand-in placed at its Windows
    // path in the sandbox. Its arguments that are drive-letter Windows paths are given as
    // Linux paths, its working folder is the Linux folder of workingFolder (empty: of the
    // current folder), and VUNI_SIM_ROOT names the sandbox root.
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
    mutable SimNameCache names_; // ToHostPath finds names through it
    std::string ownPath_;
    std::string currentFolder_ = "C:\\";
    std::string tempFolder_ = "C:\\Windows\\Temp\\";
    SimRegistry registry_;
    std::vector<std::pair<int, std::string>> specialFolders_;
    int versionClass_ = 80;
    bool windows64_ = true;
    bool restrictedUser_ = false;
    std::vector<SimProcess> processes_;
    std::vector<std::string> shellOpened_;
    bool shellOpenSucceeds_ = true;
    std::optional<WallClock> pinnedTime_;
    bool networkAvailable_ = true;
    int networkStartups_ = 0;
    uint32_t connectTimeoutMs_ = 10000;
    SimFaults faults_;
    SimChildren children_;
    struct SimWindow {
        uint64_t handle = 0;
        std::string title;
        std::vector<int> showCommands;
    };
    std::vector<std::string> mutexes_;
    std::string ownedMutex_;
    bool mutexCreationFails_ = false;
    std::vector<SimWindow> windows_;
    bool soundAvailable_ = true;
    int soundInits_ = 0;
    std::vector<std::string> playedSounds_;
    std::vector<uint32_t> sleeps_;
    bool virtualSleep_ = false;
    uint64_t sleptTicks_ = 0;
};

} // namespace vuni
