// ExpandVersionTemplate over arbitrary templates and package texts, and the local file name
// of the descriptor. The input: four bytes of clock (seconds), then the template and the
// application name and version and script set name and version, separated by zero bytes.
//
// The inserted texts are never scanned: expanding with stand-in bytes, then putting each
// text in place of its stand-in, gives the same result. The result is bounded by the
// template's tokens, and the descriptor's local copy is one file name in the temporary folder.
#include "common/fuzz_input.h"
#include "text/text.h"
#include "update/date_mask.h"
#include "update/version_template.h"

#include <algorithm>
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

// A text that can stand in the place of its stand-in: not empty, no blank at either end
// (the result is trimmed), no leading "#" (it would ask for lower case), no stand-in byte.
bool Replaceable(std::string_view s) {
    return !s.empty() && s.front() != ' ' && s.back() != ' ' && s.front() != '#' &&
           s.find_first_of("\x01\x02\x03\x04") == std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) {
        return 0;
    }
    const int32_t seconds = static_cast<int32_t>(
        static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
        static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24);
    const vuni::WallClock now = vuni::WallClockFromSeconds(seconds);
    const auto fields = vuni::fuzz::SplitFields(data + 4, size - 4, 5);
    const std::string_view text = fields[0];
    vuni::PackageInfo info;
    info.applicationName = fields[1];
    info.applicationVersion = fields[2];
    info.scriptSetName = fields[3];
    info.scriptSetVersion = fields[4];
    std::array<std::string*, 4> values = {&info.applicationName, &info.applicationVersion,
                                          &info.scriptSetName, &info.scriptSetVersion};

    const std::string out = vuni::ExpandVersionTemplate(text, info, now);
    size_t longest = 4; // "%yyyy" gives four digits
    for (const std::string* v : values) {
        longest = std::max(longest, v->size());
    }
    Check(out.size() <= text.size() + std::count(text.begin(), text.end(), '%') * longest);

    if (std::all_of(values.begin(), values.end(),
                    [](const std::string* v) { return Replaceable(*v); }) &&
        text.find_first_of("\x01\x02\x03\x04") == std::string_view::npos) {
        vuni::PackageInfo standIns;
        standIns.applicationName = "\x01";
        standIns.applicationVersion = "\x02";
        standIns.scriptSetName = "\x03";
        standIns.scriptSetVersion = "\x04";
        std::string expected = vuni::ExpandVersionTemplate(text, standIns, now);
        const bool lower = vuni::TrimLeft(text).starts_with('#');
        for (size_t i = 0; i < values.size(); ++i) {
            expected = vuni::ReplaceAll(expected, std::string(1, static_cast<char>(i + 1)),
                                        lower ? vuni::Lower(*values[i]) : *values[i]);
        }
        Check(out == expected);
    }

    // The descriptor's local copy lands in the temporary folder, whatever the names hold.
    const std::string local = vuni::LocalVersionFileName(info, now);
    Check(local.size() == vuni::RemoteVersionFileName(info, now).size() && local.ends_with("UPQ"));
    for (const char c : local) {
        Check(static_cast<unsigned char>(c) >= 0x20 &&
              std::string_view("\\/:*?\"<>|").find(c) == std::string_view::npos);
    }
    return 0;
}
