#include "standin_support.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>
#endif

namespace vuni::standin {
namespace {

std::string FolderOf(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

} // namespace

std::string OwnFolder() {
#ifdef _WIN32
    char buffer[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return n == 0 || n >= sizeof buffer ? std::string() : FolderOf(std::string(buffer, n));
#else
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
    return n <= 0 ? std::string() : FolderOf(std::string(buffer, static_cast<size_t>(n)));
#endif
}

std::string ModuleFolder(const void* address) {
#ifdef _WIN32
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<const char*>(address), &module)) {
        return {};
    }
    char buffer[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameA(module, buffer, sizeof buffer);
    return n == 0 || n >= sizeof buffer ? std::string() : FolderOf(std::string(buffer, n));
#else
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    return FolderOf(info.dli_fname);
#endif
}

std::string CurrentFolder() {
#ifdef _WIN32
    char buffer[MAX_PATH * 2];
    const DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
    return n == 0 || n >= sizeof buffer ? std::string() : std::string(buffer, n);
#else
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string();
#endif
}

bool AppendLine(const std::string& file, const std::string& line) {
    std::FILE* f = std::fopen(file.c_str(), "ab");
    if (f == nullptr) {
        return false;
    }
    const std::string text = line + "\n";
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace vuni::standin
