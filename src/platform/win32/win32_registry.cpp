// clang-format off
#include <windows.h>
// clang-format on

#include "platform/win32/owned_handles.h"
#include "platform/win32/win32_host.h"

namespace vuni {
namespace {

HKEY RootKey(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// The key opened with the given access, or none.
OwnedKey OpenKey(RegistryRoot root, const std::string& key, uint32_t access) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(RootKey(root), key.c_str(), 0, static_cast<REGSAM>(access), &opened) !=
        ERROR_SUCCESS) {
        return {};
    }
    return OwnedKey(opened);
}

constexpr DWORD kSubkeyNameChars = 256; // the longest key name, 255 characters, and its zero

} // namespace

std::optional<std::string> Win32Host::RegistryReadString(RegistryRoot root, const std::string& key,
                                                         const std::string& value, uint32_t access,
                                                         size_t maxBytes) {
    const OwnedKey k = OpenKey(root, key, access);
    if (!k || maxBytes == 0) {
        return std::nullopt;
    }
    std::string buffer(maxBytes, '\0');
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(maxBytes);
    // A value larger than the buffer gives ERROR_MORE_DATA: it counts as unreadable.
    if (RegQueryValueExA(k.Get(), value.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size > maxBytes) {
        return std::nullopt;
    }
    buffer.resize(size);
    if (!buffer.empty() && buffer.back() == '\0') {
        buffer.pop_back();
    }
    return buffer;
}

std::string Win32Host::RegistryEnumSubkey(RegistryRoot root, const std::string& key, uint32_t index,
                                          uint32_t access) {
    const OwnedKey k = OpenKey(root, key, access);
    if (!k) {
        return {};
    }
    char name[kSubkeyNameChars];
    DWORD length = kSubkeyNameChars;
    if (RegEnumKeyExA(k.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
        return {};
    }
    return std::string(name, length);
}

} // namespace vuni
