// Language folders as the wizard shows them.
#pragma once

#include <string>
#include <string_view>

namespace vuni {

// "fra" -> "Français", "enu" -> "Américain", any other code unchanged.
std::string LanguageDisplayName(std::string_view code);
// The reverse: "Français" -> "fra", "Américain" -> "enu", any other text unchanged.
std::string LanguageCode(std::string_view displayName);

} // namespace vuni
