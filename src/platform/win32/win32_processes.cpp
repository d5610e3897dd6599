// clang-format off
#include <windows.h>
#include <tlhelp32.h>
// clang-format on

#include "platform/win32/proc_address.h"
#include "platform/win32/win32_host.h"
#include "platform/windows_version.h"

namespace vuni {
namespace {

constexpr DWORD kQueryInformation = 0x400;         // PROCESS_QUERY_INFORMATION
constexpr DWORD kQueryLimitedInformation = 0x1000; // PROCESS_QUERY_LIMITED_INFORMATION
constexpr DWORD kVmRead = 0x10;                    // PROCESS_VM_READ
constexpr DWORD kImagePathBytes = 260;

class ProcessHandle {
public:
    explicit ProcessHandle(HANDLE h) : h_(h) {}
    ~ProcessHandle() {
        if (h_ != nullptr) {
            CloseHandle(h_);
        }
    }
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;
    HANDLE Get() const { return h_; }

private:
    HANDLE h_;
};

class Library {
public:
    explicit Library(const char* name) : module_(LoadLibraryA(name)) {}
    ~Library() {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    HMODULE Get() const { return module_; }

private:
    HMODULE module_;
};

// Windows 2000, XP and Server 2003: the module path through psapi.dll.
std::string ImagePathThroughPsapi(DWORD id) {
    ProcessHandle process(OpenProcess(kQueryInformation | kVmRead, FALSE, id));
    if (process.Get() == nullptr) {
        return {};
    }
    Library psapi("psapi.dll");
    using Fn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
    auto getModuleFileNameEx = ProcAddress<Fn>(psapi.Get(), "GetModuleFileNameExA");
    if (getModuleFileNameEx == nullptr) {
        return {};
    }
    char buffer[kImagePathBytes];
    const DWORD n = getModuleFileNameEx(process.Get(), nullptr, buffer, kImagePathBytes);
    return (n == 0 || n >= kImagePathBytes) ? std::string() : std::string(buffer, n);
}

// Vista and later: the image name through kernel32.dll, which also works across 32 and 64
// bits and with the limited query right.
std::string ImagePathThroughKernel32(DWORD id) {
    HANDLE h = OpenProcess(kQueryInformation, FALSE, id);
    if (h == nullptr) {
        h = OpenProcess(kQueryLimitedInformation, FALSE, id);
    }
    ProcessHandle process(h);
    if (process.Get() == nullptr) {
        return {};
    }
    Library kernel32("kernel32.dll");
    using Fn = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
    auto queryFullProcessImageName = ProcAddress<Fn>(kernel32.Get(), "QueryFullProcessImageNameA");
    if (queryFullProcessImageName == nullptr) {
        return {};
    }
    char buffer[kImagePathBytes];
    DWORD size = kImagePathBytes;
    if (!queryFullProcessImageName(process.Get(), 0, buffer, &size) || size >= kImagePathBytes) {
        return {};
    }
    return std::string(buffer, size);
}

} // namespace

std::optional<std::vector<ProcessEntry>> Win32Host::ProcessSnapshot() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::vector<ProcessEntry> out;
    PROCESSENTRY32 entry;
    ZeroMemory(&entry, sizeof entry);
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        entry.szExeFile[sizeof entry.szExeFile - 1] = '\0';
        out.push_back({static_cast<uint32_t>(entry.th32ProcessID), entry.szExeFile});
    }
    CloseHandle(snapshot);
    return out;
}

std::string Win32Host::ProcessImagePath(uint32_t id, int versionClass) {
    if (id == 0) {
        return {};
    }
    if (versionClass >= kClassWindows2000 && versionClass <= kClassServer2003) {
        return ImagePathThroughPsapi(id);
    }
    if (versionClass >= kClassVista && versionClass <= kClassLater) {
        return ImagePathThroughKernel32(id);
    }
    return {};
}

} // namespace vuni
