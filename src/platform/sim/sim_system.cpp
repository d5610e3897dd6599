// The simulated machine's registry views, shell folders and system facts.
#include "platform/sim/sim_host.h"
#include "text/text.h"

namespace vuni {
namespace {

constexpr uint32_t kKeyWow64_32Key = 0x200;
constexpr std::string_view kSoftware = "software";
constexpr std::string_view kWow6432Node = "wow6432node";

} // namespace

std::string SimHost::OpenKeyPath(RegistryRoot root, const std::string& key, uint32_t access) const {
    // RegOpenKeyEx refuses a key written with a leading backslash; a final one is harmless.
    if (!key.empty() && key[0] == '\\') {
        return {};
    }
    const std::string rootName =
        root == RegistryRoot::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
    if (root == RegistryRoot::LocalMachine && restrictedUser_ &&
        (access & ~(kKeyRead | kKeyWow64_64Key | kKeyWow64_32Key)) != 0) {
        return {}; // access denied: a standard user cannot write there
    }
    std::string subkey = StripTrailingBackslash(key);
    std::vector<std::string> parts = Split(subkey, '\\');
    const bool wants64 = (access & kKeyWow64_64Key) != 0;
    if (root == RegistryRoot::LocalMachine && windows64_ && !wants64 && !parts.empty() &&
        EqualsNoCase(parts[0], kSoftware) &&
        !(parts.size() > 1 && EqualsNoCase(parts[1], kWow6432Node))) {
        // The 32-bit view of HKLM\SOFTWARE.
        subkey = std::string(parts[0]) + "\\Wow6432Node" +
                 (parts.size() > 1 ? subkey.substr(parts[0].size()) : std::string());
    }
    const std::string path = subkey.empty() ? rootName : rootName + "\\" + subkey;
    return registry_.KeyExists(path) ? path : std::string();
}

std::optional<std::string> SimHost::RegistryReadString(RegistryRoot root, const std::string& key,
                                                       const std::string& value, uint32_t access,
                                                       size_t maxBytes) {
    const std::string path = OpenKeyPath(root, key, access);
    if (path.empty()) {
        return std::nullopt;
    }
    const SimRegistryValue* v = registry_.FindValue(path, value);
    // The stored data of a text value holds its final zero byte: it must fit too.
    if (v == nullptr || !v->isText || v->data.size() + 1 > maxBytes) {
        return std::nullopt;
    }
    return v->data;
}

std::string SimHost::RegistryEnumSubkey(RegistryRoot root, const std::string& key, uint32_t index,
                                        uint32_t access) {
    const std::string path = OpenKeyPath(root, key, access);
    if (path.empty()) {
        return {};
    }
    const std::vector<std::string> names = registry_.Subkeys(path);
    if (index >= names.size() || names[index].size() > 255) {
        return {};
    }
    return names[index];
}

void SimHost::SetSpecialFolder(int csidl, const std::string& path) {
    std::string folder = path;
    if (folder.size() > 3) { // "C:\" keeps its backslash, as the shell gives a drive root
        folder = StripTrailingBackslash(folder);
    }
    for (auto& [id, value] : specialFolders_) {
        if (id == csidl) {
            value = folder;
            return;
        }
    }
    specialFolders_.emplace_back(csidl, folder);
}

std::string SimHost::SpecialFolder(int csidl) {
    for (const auto& [id, value] : specialFolders_) {
        if (id == csidl) {
            return value;
        }
    }
    return {};
}

} // namespace vuni
