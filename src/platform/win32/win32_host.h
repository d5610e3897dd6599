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
    std::string soundBuffer_; // the sound being played: PlaySound reads it while it plays
};

} // namespace vuni
