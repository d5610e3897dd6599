// ExpandPlaceholders and DisplayPath over arbitrary destinations (from the package) and
// folder values. The input: the path, then the values of %User%, %AllUsers%, %UserAppData%,
// %AllUsersAppData%, %MyDoc% and %JawsScriptPath%, separated by zero bytes.
//
// A path without a leading placeholder comes back as it is. Values are inserted, never
// scanned: expanding with stand-in bytes and then putting each value (without its final
// "\") in place of its stand-in gives the same path. A displayed path holds no ":", and is
// never longer than the expanded path plus "Disque ".
#include "common/fuzz_input.h"
#include "jaws/placeholders.h"
#include "text/text.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

constexpr std::string_view kStandIns("\x01\x02\x03\x04\x05\x06", 6);

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto fields = vuni::fuzz::SplitFields(data, size, 7);
    const std::string_view path = fields[0];
    vuni::ShellFolders shell;
    std::array<std::string*, 5> folders = {&shell.userJawsRoot, &shell.sharedJawsRoot,
                                           &shell.userAppData, &shell.sharedAppData,
                                           &shell.myDocuments};
    for (size_t i = 0; i < folders.size(); ++i) {
        *folders[i] = fields[i + 1];
    }
    const vuni::PlaceholderContext context{shell, fields[6]};

    const std::string expanded = vuni::ExpandPlaceholders(context, path);
    const std::string test = vuni::Lower(vuni::Trim(path));
    bool leading = false;
    for (const char* p : {"%user%", "%allusers%", "%userappdata%", "%allusersappdata%", "%mydoc%",
                          "%jawsscriptpath%"}) {
        leading = leading || test.starts_with(p);
    }
    Check(leading || expanded == path);

    if (path.find_first_of(kStandIns) == std::string_view::npos) {
        vuni::ShellFolders marks;
        marks.userJawsRoot = kStandIns.substr(0, 1);
        marks.sharedJawsRoot = kStandIns.substr(1, 1);
        marks.userAppData = kStandIns.substr(2, 1);
        marks.sharedAppData = kStandIns.substr(3, 1);
        marks.myDocuments = kStandIns.substr(4, 1);
        std::string expected = vuni::ExpandPlaceholders({marks, kStandIns.substr(5, 1)}, path);
        // At most one stand-in is inserted; put its value in its place.
        const size_t at = expected.find_first_of(kStandIns);
        if (at != std::string::npos) {
            const size_t which = kStandIns.find(expected[at]);
            const std::string_view value =
                which < folders.size() ? std::string_view(*folders[which]) : context.scriptPath;
            expected = vuni::ReplaceAll(expected, std::string(1, expected[at]),
                                        vuni::StripTrailingBackslash(value));
        }
        Check(expected == expanded);
    }

    const std::string shown = vuni::DisplayPath(context, path);
    Check(shown.find(':') == std::string::npos);
    const std::string plain =
        vuni::ExpandPlaceholders(context, vuni::ReplaceAllNoCase(path, "%JawsScriptPath%", ""));
    Check(shown.size() <= plain.size() + 7);
    return 0;
}
