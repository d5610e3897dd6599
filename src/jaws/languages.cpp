#include "jaws/languages.h"

#include "jaws/host_items.h"
#include "text/text.h"

namespace vuni {
namespace {

constexpr char kFrenchName[] = "Français";
constexpr char kAmericanName[] = "Américain";

} // namespace

std::string LanguageDisplayName(std::string_view code) {
    // Windows folder names ignore case: "FRA" is the French folder too.
    if (EqualsNoCase(code, kLanguageFrench)) {
        return kFrenchName;
    }
    if (EqualsNoCase(code, kLanguageAmerican)) {
        return kAmericanName;
    }
    return std::string(code);
}

std::string LanguageCode(std::string_view displayName) {
    if (displayName == kFrenchName) {
        return kLanguageFrench;
    }
    if (displayName == kAmericanName) {
        return kLanguageAmerican;
    }
    return std::string(displayName);
}

} // namespace vuni
