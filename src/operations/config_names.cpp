#include "operations/config_names.h"

#include "jaws/host_items.h"
#include "text/text.h"

#include <algorithm>

namespace vuni {

bool WritableAsOneEntry(const std::string& alias) {
    return alias.find_first_of("\r\n=") == std::string::npos && alias[0] != '[';
}

std::vector<std::string> BuildAliasList(std::string_view aliasText) {
    std::vector<std::string> out;
    for (const std::string& piece : Split(aliasText, ';')) {
        std::string alias = TrimBlanks(piece);
        if (!alias.empty() && WritableAsOneEntry(alias) &&
            std::find(out.begin(), out.end(), alias) == out.end()) {
            out.push_back(std::move(alias));
        }
    }
    return out;
}

std::vector<std::string> SplitIniLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            continue;
        }
        lines.emplace_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < text.size()) {
        lines.emplace_back(text.substr(start));
    }
    return lines;
}

bool IniSectionName(std::string_view line, std::string& lowerName) {
    const std::string trimmed = TrimBlanks(line);
    if (trimmed.empty() || trimmed[0] != '[') {
        return false;
    }
    const size_t close = trimmed.find(']', 1);
    if (close == std::string::npos) {
        return false;
    }
    lowerName = Lower(TrimBlanks(std::string_view(trimmed).substr(1, close - 1)));
    return true;
}

std::string ConfigNamesKey(std::string_view line) {
    std::string key = Lower(TrimBlanks(line));
    const size_t semicolon = key.find(';');
    if (semicolon != std::string::npos) {
        key.resize(semicolon);
    }
    const size_t equals = key.find('=');
    if (equals != std::string::npos) {
        key.resize(equals);
    }
    return key;
}

std::string RewriteConfigNames(std::string_view fileText, const std::vector<std::string>& aliases,
                               const std::string& configurationName, bool remove) {
    std::string newEntries;
    std::vector<std::string> lowerAliases;
    for (const std::string& alias : aliases) {
        newEntries.append(alias).append("=").append(configurationName).append("\r\n");
        lowerAliases.push_back(Lower(alias));
    }

    std::string out;
    out.reserve(fileText.size() + newEntries.size() + 32);
    bool inSection = false;
    bool inserted = false;
    for (const std::string& line : SplitIniLines(fileText)) {
        std::string section;
        if (IniSectionName(line, section)) {
            inSection = EqualsNoCase(section, kConfigNamesSection);
        } else if (inSection) {
            if (!remove && !inserted) {
                out += newEntries;
                inserted = true;
            }
            const std::string key = ConfigNamesKey(line);
            if (std::find(lowerAliases.begin(), lowerAliases.end(), key) != lowerAliases.end()) {
                continue;
            }
        }
        out += line;
        out += "\r\n";
    }
    if (!remove && !inserted) {
        out.append("[").append(kConfigNamesSection).append("]\r\n");
        out += newEntries;
    }
    return out;
}

} // namespace vuni
