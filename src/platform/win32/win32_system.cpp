// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on

#include "platform/win32/proc_address.h"
#include "platform/win32/win32_host.h"
#include "platform/windows_version.h"

namespace vuni {

std::string Win32Host::SpecialFolder(int csidl) {
    char buffer[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathA(nullptr, buffer, csidl, FALSE) || buffer[0] == '\0') {
        return {};
    }
    return buffer;
}

int Win32Host::WindowsVersionClass() {
    OSVERSIONINFOEXA info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) {
        return kClassLater;
    }
    WindowsVersionFacts facts;
    facts.platformId = info.dwPlatformId;
    facts.major = info.dwMajorVersion;
    facts.minor = info.dwMinorVersion;
    facts.productType = info.wProductType;
    return WindowsVersionClassOf(facts);
}

bool Win32Host::IsWindows64() {
    using GetNativeSystemInfoFn = void(WINAPI*)(SYSTEM_INFO*);
    auto getNativeSystemInfo =
        ProcAddress<GetNativeSystemInfoFn>(GetModuleHandleA("kernel32.dll"), "GetNativeSystemInfo");
    if (getNativeSystemInfo == nullptr) {
        return false;
    }
    SYSTEM_INFO info;
    ZeroMemory(&info, sizeof info);
    getNativeSystemInfo(&info);
    return info.wProcessorArchitecture != PROCESSOR_ARCHITECTURE_INTEL;
}

} // namespace vuni
