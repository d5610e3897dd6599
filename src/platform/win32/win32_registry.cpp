// clang-format off
#include <windows.h>
// clang-format on

#include "platform/win32/win32_host.h"

namespace vuni {
namespace {

HKEY RootKey(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// An open registry key, closed when it goes out of scope.
class OpenKey {
public:
    OpenKey(RegistryRoot root, const std::string& key, uint32_t access) {
        if (RegOpenKeyExA(RootKey(root), key.c_str(), 0, static_cast<REGSAM>(access), &key_) !=
            ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~OpenKey() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

constexpr DWORD kSubkeyNameChars = 256; // the longest key name, 255 characters, and its zero

} // namespace

std::optional<std::string> Win32Host::RegistryReadString(RegistryRoot root, const std::string& key,
                                                         const std::string& value, uint32_t access,
                                                         size_t maxBytes) {
    OpenKey k(root, key, access);
    if (k.Get() == nullptr || maxBytes == 0) {
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
    OpenKey k(root, key, access);
    if (k.Get() == nullptr) {
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
