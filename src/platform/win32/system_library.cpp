#include "platform/win32/system_library.h"

#include "platform/win32/proc_address.h"

#include <cstring>

namespace vuni {

void RestrictLibrarySearch() {
    // kernel32 is mapped into every process: looking it up loads nothing.
    const HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDllDirectories =
        ProcAddress<SetDefaultDllDirectoriesFn>(kernel32, "SetDefaultDllDirectories");
    if (setDefaultDllDirectories == nullptr ||
        !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        // Windows XP SP1 and later without it: the documented fallback, which only takes the
        // current folder out of the search.
        using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
        const auto setDllDirectory = ProcAddress<SetDllDirectoryFn>(kernel32, "SetDllDirectoryA");
        if (setDllDirectory != nullptr) {
            setDllDirectory("");
        }
    }
    // The theme library, which Windows' own DLLs load by bare name once the window is made:
    // loaded now from the system folder, it is found loaded then, and nothing is looked up
    // beside the program, even by loaders (Wine's) that resolve delayed imports without the
    // restricted search. Kept loaded for the program's life.
    LoadSystemLibrary("uxtheme");
}

HMODULE LoadSystemLibrary(const char* fileName) {
    char path[MAX_PATH];
    const UINT folder = GetSystemDirectoryA(path, MAX_PATH);
    const size_t name = std::strlen(fileName);
    if (folder == 0 || folder + 1 + name >= MAX_PATH) {
        return nullptr;
    }
    path[folder] = '\\';
    std::memcpy(path + folder + 1, fileName, name + 1);
    return LoadLibraryAt(path);
}

} // namespace vuni
