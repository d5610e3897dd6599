#include "jaws/placeholders.h"

#include "jaws/host_items.h"
#include "text/text.h"

#include <array>

namespace vuni {
namespace {

constexpr char kDiskPrefix[] = "Disque ";

} // namespace

PlaceholderContext PlaceholdersFor(const ShellFolders& shell, const SettingsFolder* chosen) {
    return {shell, chosen != nullptr ? std::string_view(chosen->scriptPath) : std::string_view()};
}

std::string ExpandPlaceholders(const PlaceholderContext& context, std::string_view path) {
    const ShellFolders& s = context.shell;
    // In the order they are tested: %User% before %UserAppData% is safe, the closing "%"
    // tells them apart.
    const std::array<std::pair<std::string_view, std::string_view>, 6> table = {{
        {kUserJawsPlaceholder, s.userJawsRoot},
        {kSharedJawsPlaceholder, s.sharedJawsRoot},
        {kUserAppDataPlaceholder, s.userAppData},
        {kSharedAppDataPlaceholder, s.sharedAppData},
        {kMyDocumentsPlaceholder, s.myDocuments},
        {kScriptPathPlaceholder, context.scriptPath},
    }};
    const std::string test = Lower(Trim(path));
    for (const auto& [placeholder, value] : table) {
        if (StartsWith(test, Lower(placeholder))) {
            return ReplaceAllNoCase(path, placeholder, StripTrailingBackslash(value));
        }
    }
    return std::string(path);
}

std::string DisplayPath(const PlaceholderContext& context, std::string_view path) {
    std::string expanded =
        ExpandPlaceholders(context, ReplaceAllNoCase(path, kScriptPathPlaceholder, ""));
    const size_t first = expanded.find(':');
    if (first == std::string::npos) {
        return expanded;
    }
    const size_t second = expanded.find(':', first + 1);
    const size_t end = second == std::string::npos ? expanded.size() : second;
    return kDiskPrefix + expanded.substr(0, first) + expanded.substr(first + 1, end - first - 1);
}

} // namespace vuni
