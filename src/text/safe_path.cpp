#include "text/safe_path.h"

#include "text/text.h"

#include <algorithm>
#include <iterator>

namespace vuni {
namespace {

// Windows reads "con .txt" and "NUL..." as the devices too: the name is taken up to its
// first dot, without the blanks before it.
bool IsDeviceName(std::string_view component) {
    std::string_view base = component.substr(0, component.find('.'));
    while (!base.empty() && base.back() == ' ') {
        base.remove_suffix(1);
    }
    if (base.size() == 3) {
        constexpr const char* kDevices[] = {"CON", "PRN", "AUX", "NUL"};
        return std::any_of(std::begin(kDevices), std::end(kDevices),
                           [base](const char* device) { return EqualsNoCase(base, device); });
    }
    return base.size() == 4 && (StartsWithNoCase(base, "COM") || StartsWithNoCase(base, "LPT")) &&
           base[3] >= '1' && base[3] <= '9';
}

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

const char* UnsafePathReason(std::string_view path, bool driveAllowed) {
    const bool drive = driveAllowed && path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':';
    if (path.find(':', drive ? 2 : 0) != std::string_view::npos) {
        return "a \":\" that is not a drive's";
    }
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of("\\/", start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        const std::string_view component = path.substr(start, end - start);
        // Windows drops the trailing dots and blanks of a name: ".. " climbs as ".." does.
        const std::string_view trimmed = component.substr(0, component.find_last_not_of(". ") + 1);
        if (trimmed.empty() && component.find("..") != std::string_view::npos) {
            return "a \"..\" component";
        }
        if (IsDeviceName(component)) {
            return "a device name";
        }
        start = end + 1;
    }
    return nullptr;
}

} // namespace vuni
