// A simulated Windows on Linux: a real Host over a sandbox folder.
//
// Drive letters map to folders of the sandbox ("C:\x\y" is <root>/c/x/y). Windows names are
// matched without regard to case, as on Windows, and are kept in UTF-8 on the Linux side so
// that a described machine's tree can be read and written as ordinary files.
#pragma once

#include "platform/host.h"

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vuni {

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

    // desktop: the shell's "open" is recorded, not performed; tests read the list.
    bool ShellOpen(const std::string& text) override;
    const std::vector<std::string>& ShellOpened() const { return shellOpened_; }
    void SetShellOpenSucceeds(bool succeeds) { shellOpenSucceeds_ = succeeds; }

    // local time: the Linux local time, unless a machine description or a test pins it.
    WallClock LocalTimeNow() override;
    void PinLocalTime(std::optional<WallClock> time) { pinnedTime_ = time; }

    // network: real POSIX sockets. SetNetworkAvailable(false) makes NetworkStartup fail.
    bool NetworkStartup() override;
    int64_t TcpConnect(const std::string& host, uint16_t port) override;
    int64_t TcpSend(int64_t socket, const void* data, size_t size) override;
    int64_t TcpReceive(int64_t socket, void* buffer, size_t size, uint32_t timeoutMs) override;
    void TcpClose(int64_t socket) override;
    void SetNetworkAvailable(bool available) { networkAvailable_ = available; }
    int NetworkStartupCount() const { return networkStartups_; }
    // How long TcpConnect waits for a connection to be accepted.
    void SetConnectTimeout(uint32_t ms) { connectTimeoutMs_ = ms; }

private:
    std::filesystem::path DriveFolder(char lowerLetter) const;

    std::filesystem::path root_;
    std::vector<std::pair<char, std::filesystem::path>> mappedDrives_;
    std::string ownPath_;
    std::string currentFolder_ = "C:\\";
    std::string tempFolder_ = "C:\\Windows\\Temp\\";
    std::vector<std::string> shellOpened_;
    bool shellOpenSucceeds_ = true;
    std::optional<WallClock> pinnedTime_;
    bool networkAvailable_ = true;
    int networkStartups_ = 0;
    uint32_t connectTimeoutMs_ = 10000;
};

} // namespace vuni
