#include "jaws/registry.h"

#include "platform/windows_version.h"

namespace vuni {

uint32_t RegistryViewFlag(int versionClass) {
    return versionClass > kClassWindows2000 ? kKeyWow64_64Key : 0;
}

std::string ReadRegistryString(Host& host, RegistryRoot root, std::string_view key,
                               std::string_view value) {
    const uint32_t access = kKeyRead | RegistryViewFlag(host.WindowsVersionClass());
    return host
        .RegistryReadString(root, std::string(key), std::string(value), access,
                            kRegistryStringMaxBytes)
        .value_or(std::string());
}

std::string EnumRegistrySubkey(Host& host, RegistryRoot root, std::string_view key,
                               uint32_t index) {
    if (!key.empty() && key.front() == '\\') {
        key.remove_prefix(1);
    }
    const std::string k(key);
    const uint32_t view = RegistryViewFlag(host.WindowsVersionClass());
    std::string name = host.RegistryEnumSubkey(root, k, index, kKeyAllAccess | view);
    if (name.empty()) {
        // A standard user may not open HKEY_LOCAL_MACHINE keys with full access; listing
        // subkeys needs read access only, so ask again with it rather than finding nothing.
        name = host.RegistryEnumSubkey(root, k, index, kKeyRead | view);
    }
    return name;
}

} // namespace vuni
