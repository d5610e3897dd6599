// The real Windows: ANSI (Windows-1252) API calls behind the Host interface.
#pragma once

#include "platform/host.h"

namespace vuni {

class Win32Host : public Host {
public:
    Win32Host() = default;
    ~Win32Host() override;
    Win32Host(const Win32Host&) = delete;
    Win32Host& operator=(const Win32Host&) = delete;

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
    std::string OwnProgramPath() override;
    std::string CurrentFolder() override;
    std::string TemporaryFolder() override;

    void Sleep(uint32_t ms) override;
    uint64_t TickCount() override;

    // registry
    std::optional<std::string> RegistryReadString(RegistryRoot root, const std::string& key,
                                                  const std::string& value, uint32_t access,
                                                  size_t maxBytes) override;
    std::string RegistryEnumSubkey(RegistryRoot root, const std::string& key, uint32_t index,
                                   uint32_t access) override;

    // shell and system facts
    std::string SpecialFolder(int csidl) override;
    int WindowsVersionClass() override;
    bool IsWindows64() override;

    // processes
    std::optional<std::vector<ProcessEntry>> ProcessSnapshot() override;
    std::string ProcessImagePath(uint32_t id, int versionClass) override;
    // desktop
    bool ShellOpen(const std::string& text) override;
    WallClock LocalTimeNow() override;

    // network: Winsock 2.2
    bool NetworkStartup() override;
    int64_t TcpConnect(const std::string& host, uint16_t port, uint32_t timeoutMs) override;
    int64_t TcpSend(int64_t socket, const void* data, size_t size) override;
    int64_t TcpReceive(int64_t socket, void* buffer, size_t size, uint32_t timeoutMs) override;
    void TcpClose(int64_t socket) override;
    // processes and library calls (win32_spawn.cpp)
    ProcessRun StartProcess(const std::string& program, const std::string& commandLine,
                            const std::string& workingFolder, bool hidden) override;
    bool WaitProcess(const ProcessRun& run, uint32_t timeoutMs) override;
    void WaitProcessReady(const ProcessRun& run, uint32_t timeoutMs) override;
    uint32_t ProcessExitCode(const ProcessRun& run) override;
    void ReleaseProcess(ProcessRun& run) override;
    LibraryCallResult CallLibraryFunction(const std::string& library, const std::string& function,
                                          const std::string& argument) override;
    // desktop: single instance, top-level windows, sound (win32_desktop.cpp)
    bool NamedMutexExists(const std::string& name) override;
    bool CreateNamedMutex(const std::string& name) override;
    void CloseNamedMutex() override;
    uint64_t FindTopLevelWindow(const std::string& title) override;
    void ShowTopLevelWindow(uint64_t window, int command) override;
    bool InitSound() override;
    bool PlayWav(const void* data, size_t size) override;

private:
    void* mutex_ = nullptr;   // the named mutex this instance owns
    void* winmm_ = nullptr;   // the multimedia library, once InitSound loaded it
    std::string soundBuffer_; // the sound being played: PlaySound reads it while it plays
};

} // namespace vuni
