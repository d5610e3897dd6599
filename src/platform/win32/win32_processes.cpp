// clang-format off
#include <windows.h>
#include <tlhelp32.h>
// clang-format on

#include "platform/win32/owned_handles.h"
#include "platform/win32/proc_address.h"
#include "platform/win32/win32_host.h"
#include "platform/windows_version.h"

namespace vuni {
namespace {

constexpr DWORD kQueryInformation = 0x400;         // PROCESS_QUERY_INFORMATION
constexpr DWORD kQueryLimitedInformation = 0x1000; // PROCESS_QUERY_LIMITED_INFORMATION
constexpr DWORD kVmRead = 0x10;                    // PROCESS_VM_READ
constexpr DWORD kImagePathBytes = 260;

// Windows 2000, XP and Server 2003: the module path through psapi.dll.
std::string ImagePathThroughPsapi(DWORD id) {
    const OwnedHandle process(OpenProcess(kQueryInformation | kVmRead, FALSE, id));
    if (!process) {
        return {};
    }
    const OwnedModule psapi(LoadLibraryA("psapi.dll"));
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
    OwnedHandle process(OpenProcess(kQueryInformation, FALSE, id));
    if (!process) {
        process = OwnedHandle(OpenProcess(kQueryLimitedInformation, FALSE, id));
    }
    if (!process) {
        return {};
    }
    const OwnedModule kernel32(LoadLibraryA("kernel32.dll"));
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
    const OwnedFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return std::nullopt;
    }
    std::vector<ProcessEntry> out;
    PROCESSENTRY32 entry;
    ZeroMemory(&entry, sizeof entry);
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.Get(), &entry); more;
         more = Process32Next(snapshot.Get(), &entry)) {
        entry.szExeFile[sizeof entry.szExeFile - 1] = '\0';
        out.push_back({static_cast<uint32_t>(entry.th32ProcessID), entry.szExeFile});
    }
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
