// Registry reads with the access rules of the installer: read access for values, full
// access for subkey lists, and the 64-bit view on Windows XP and later.
#pragma once

#include "platform/host.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vuni {

// The most a value may hold, final zero byte included.
constexpr size_t kRegistryStringMaxBytes = 1024;

// KEY_WOW64_64KEY on Windows XP and later (classes above 50), else 0.
uint32_t RegistryViewFlag(int versionClass);

// The string value as text; empty when the key cannot be opened, the value is missing,
// is not text or is longer than kRegistryStringMaxBytes.
std::string ReadRegistryString(Host& host, RegistryRoot root, std::string_view key,
                               std::string_view value);
// The name of subkey index (from 0); empty when there is none or the key cannot be opened.
// One leading "\" of key is dropped.
std::string EnumRegistrySubkey(Host& host, RegistryRoot root, std::string_view key, uint32_t index);

} // namespace vuni
