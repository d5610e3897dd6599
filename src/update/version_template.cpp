#include "update/version_template.h"

#include "text/text.h"
#include "update/date_mask.h"

namespace vuni {

std::string ExpandVersionTemplate(std::string_view text, const PackageInfo& info,
                                  const WallClock& now) {
    const std::pair<std::string_view, const std::string*> fields[] = {
        {"%AN", &info.applicationName},
        {"%AV", &info.applicationVersion},
        {"%SN", &info.scriptSetName},
        {"%SV", &info.scriptSetVersion},
    };
    // One pass from left to right: the date tokens, then the package tokens, are matched
    // only in the template itself, so a value that happens to hold "%AV" or "%dd" is copied
    // as it stands.
    std::string out;
    size_t pos = 0;
    while (pos < text.size()) {
        if (AppendDateToken(text, pos, now, out)) {
            continue;
        }
        bool replaced = false;
        for (const auto& [token, value] : fields) {
            if (StartsWithNoCase(text.substr(pos), token)) {
                out += *value;
                pos += token.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            out += text[pos++];
        }
    }
    out = Trim(out);
    if (!out.empty() && out[0] == '#') {
        out = Lower(std::string_view(out).substr(1));
    }
    return out;
}

std::string RemoteVersionFileName(const PackageInfo& info, const WallClock& now) {
    return ExpandVersionTemplate(kVersionFileTemplate, info, now) + "UPQ";
}

std::string LocalVersionFileName(const PackageInfo& info, const WallClock& now) {
    std::string name = RemoteVersionFileName(info, now);
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20 ||
            std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
            c = '_';
        }
    }
    return name;
}

} // namespace vuni
