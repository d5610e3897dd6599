#include "platform/sim/sim_registry.h"

#include "text/text.h"

#include <cstdint>
#include <optional>

namespace vuni {
namespace {

constexpr std::string_view kRegedit4 = "REGEDIT4";
constexpr std::string_view kRegedit5 = "Windows Registry Editor Version 5.00";

// One Unicode character as Windows-1252, "?" when the code page has no such character.
char CodePointTo1252(uint32_t cp) {
    if (cp < 0x80) {
        return static_cast<char>(cp);
    }
    std::string utf8;
    if (cp < 0x800) {
        utf8 += static_cast<char>(0xC0 | (cp >> 6));
        utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        utf8 += static_cast<char>(0xE0 | (cp >> 12));
        utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        return '?';
    }
    std::string out;
    return Utf8ToCp1252(utf8, out) && out.size() == 1 ? out[0] : '?';
}

std::string Utf16LeTo1252(std::string_view bytes) {
    std::string out;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        uint32_t unit = static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8);
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            // A surrogate pair stands for a character beyond the code page.
            if (unit < 0xDC00 && i + 3 < bytes.size()) {
                i += 2;
            }
            out += '?';
            continue;
        }
        out += CodePointTo1252(unit);
    }
    return out;
}

// UTF-8 text as Windows-1252; nullopt when the bytes are not well-formed UTF-8.
std::optional<std::string> Utf8To1252Lenient(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<uint8_t>(s[i]);
        size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > s.size()) {
            return std::nullopt;
        }
        uint32_t cp = len == 1 ? b : b & (0x7F >> len);
        for (size_t k = 1; k < len; ++k) {
            const auto c = static_cast<uint8_t>(s[i + k]);
            if ((c & 0xC0) != 0x80) {
                return std::nullopt;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        out += len == 4 ? '?' : CodePointTo1252(cp);
        i += len;
    }
    return out;
}

std::string DecodeFileText(std::string_view bytes) {
    if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF &&
        static_cast<uint8_t>(bytes[1]) == 0xFE) {
        return Utf16LeTo1252(bytes.substr(2));
    }
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    if (auto text = Utf8To1252Lenient(bytes)) {
        return *text;
    }
    return std::string(bytes); // Windows-1252 already
}

// The lines of the text, with the lines that end with "\" joined to the next one (how
// regedit wraps long hex data).
std::vector<std::string> LogicalLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    bool continuing = false;
    for (std::string raw : Split(text, '\n')) {
        if (!raw.empty() && raw.back() == '\r') {
            raw.pop_back();
        }
        std::string line = continuing ? TrimBlanks(raw) : raw;
        std::string trimmed = TrimRight(line);
        continuing =
            !trimmed.empty() && trimmed.back() == '\\' && !StartsWith(TrimBlanks(trimmed), "[");
        if (continuing) {
            trimmed.pop_back();
            current += trimmed;
            continue;
        }
        current += line;
        lines.push_back(std::move(current));
        current.clear();
    }
    if (!current.empty()) {
        lines.push_back(std::move(current));
    }
    return lines;
}

// A quoted text at pos with \\ and \" escapes; pos ends after the closing quote.
std::optional<std::string> ReadQuoted(std::string_view line, size_t& pos) {
    if (pos >= line.size() || line[pos] != '"') {
        return std::nullopt;
    }
    std::string out;
    for (++pos; pos < line.size(); ++pos) {
        char c = line[pos];
        if (c == '\\' && pos + 1 < line.size()) {
            out += line[++pos];
        } else if (c == '"') {
            ++pos;
            return out;
        } else {
            out += c;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ParseHexBytes(std::string_view list) {
    std::string out;
    for (const std::string& item : Split(list, ',')) {
        std::string b = TrimBlanks(item);
        if (b.empty()) {
            continue;
        }
        if (b.size() > 2) {
            return std::nullopt;
        }
        unsigned value = 0;
        for (char c : b) {
            value <<= 4;
            if (c >= '0' && c <= '9') {
                value |= static_cast<unsigned>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                value |= static_cast<unsigned>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                value |= static_cast<unsigned>(c - 'A' + 10);
            } else {
                return std::nullopt;
            }
        }
        out += static_cast<char>(value);
    }
    return out;
}

std::string DropFinalZeros(std::string s, size_t unit) {
    if (s.size() >= unit && s.compare(s.size() - unit, unit, std::string(unit, '\0')) == 0) {
        s.resize(s.size() - unit);
    }
    return s;
}

} // namespace

std::string SimRegistry::Normalise(std::string_view key) {
    std::vector<std::string> parts;
    for (const std::string& part : Split(key, '\\')) {
        if (!part.empty()) {
            parts.push_back(Lower(part));
        }
    }
    if (parts.empty()) {
        return {};
    }
    if (parts[0] == "hklm") {
        parts[0] = "hkey_local_machine";
    } else if (parts[0] == "hkcu") {
        parts[0] = "hkey_current_user";
    }
    if (parts[0] != "hkey_local_machine" && parts[0] != "hkey_current_user" &&
        parts[0] != "hkey_users" && parts[0] != "hkey_classes_root") {
        return {};
    }
    std::string out;
    for (const std::string& part : parts) {
        if (!out.empty()) {
            out += '\\';
        }
        out += part;
    }
    return out;
}

SimRegistry::Key* SimRegistry::Ensure(std::string_view key) {
    const std::string path = Normalise(key);
    if (path.empty()) {
        return nullptr;
    }
    // Every ancestor exists too, each keeping the spelling it was first written with.
    std::vector<std::string> written;
    for (const std::string& part : Split(key, '\\')) {
        if (!part.empty()) {
            written.push_back(part);
        }
    }
    std::string prefix;
    Key* last = nullptr;
    size_t index = 0;
    for (const std::string& lowerPart : Split(path, '\\')) {
        if (!prefix.empty()) {
            prefix += '\\';
        }
        prefix += lowerPart;
        Key& k = keys_[prefix];
        if (k.name.empty()) {
            k.name = index < written.size() ? written[index] : lowerPart;
        }
        last = &k;
        ++index;
    }
    return last;
}

void SimRegistry::CreateKey(std::string_view key) {
    Ensure(key);
}

void SimRegistry::DeleteKey(std::string_view key) {
    const std::string path = Normalise(key);
    if (path.empty()) {
        return;
    }
    auto it = keys_.lower_bound(path);
    while (it != keys_.end() && (it->first == path || StartsWith(it->first, path + "\\"))) {
        it = keys_.erase(it);
    }
}

void SimRegistry::SetString(std::string_view key, std::string_view name, std::string_view text) {
    if (Key* k = Ensure(key)) {
        k->values[Lower(name)] = {std::string(name), true, std::string(text)};
    }
}

void SimRegistry::SetBinary(std::string_view key, std::string_view name, std::string_view bytes) {
    if (Key* k = Ensure(key)) {
        k->values[Lower(name)] = {std::string(name), false, std::string(bytes)};
    }
}

bool SimRegistry::KeyExists(std::string_view key) const {
    const std::string path = Normalise(key);
    return !path.empty() && keys_.count(path) != 0;
}

const SimRegistryValue* SimRegistry::FindValue(std::string_view key, std::string_view name) const {
    const std::string path = Normalise(key);
    auto k = keys_.find(path);
    if (path.empty() || k == keys_.end()) {
        return nullptr;
    }
    auto v = k->second.values.find(Lower(name));
    return v == k->second.values.end() ? nullptr : &v->second;
}

std::vector<std::string> SimRegistry::Subkeys(std::string_view key) const {
    std::vector<std::string> out;
    const std::string path = Normalise(key);
    if (path.empty()) {
        return out;
    }
    const std::string prefix = path + "\\";
    for (auto it = keys_.lower_bound(prefix); it != keys_.end() && StartsWith(it->first, prefix);
         ++it) {
        if (it->first.find('\\', prefix.size()) == std::string::npos) {
            out.push_back(it->second.name);
        }
    }
    return out;
}

bool SimRegistry::Import(std::string_view fileBytes) {
    const std::vector<std::string> lines = LogicalLines(DecodeFileText(fileBytes));
    size_t first = 0;
    while (first < lines.size() && TrimBlanks(lines[first]).empty()) {
        ++first;
    }
    if (first == lines.size()) {
        return false;
    }
    const std::string header = TrimBlanks(lines[first]);
    if (header != kRegedit4 && header != kRegedit5) {
        return false;
    }
    // In version 5 files, hex(2) data is UTF-16LE; in REGEDIT4 files it is ANSI text.
    const bool unicode = header == kRegedit5;

    std::string currentKey; // empty while no key is open (or after a deleted one)
    for (size_t i = first + 1; i < lines.size(); ++i) {
        const std::string line = TrimBlanks(lines[i]);
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            const size_t close = line.rfind(']');
            if (close == std::string::npos) {
                currentKey.clear();
                continue;
            }
            std::string key = line.substr(1, close - 1);
            if (!key.empty() && key[0] == '-') {
                DeleteKey(key.substr(1));
                currentKey.clear();
            } else if (Ensure(key) != nullptr) {
                currentKey = key;
            } else {
                currentKey.clear();
            }
            continue;
        }
        if (currentKey.empty()) {
            continue;
        }
        size_t pos = 0;
        std::string name;
        if (line[0] == '@') {
            pos = 1;
        } else if (auto quoted = ReadQuoted(line, pos)) {
            name = *quoted;
        } else {
            continue;
        }
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) {
            ++pos;
        }
        if (pos >= line.size() || line[pos] != '=') {
            continue;
        }
        const std::string data = TrimBlanks(std::string_view(line).substr(pos + 1));
        if (data == "-") {
            if (Key* k = Ensure(currentKey)) {
                k->values.erase(Lower(name));
            }
        } else if (!data.empty() && data[0] == '"') {
            size_t p = 0;
            if (auto text = ReadQuoted(data, p)) {
                SetString(currentKey, name, *text);
            }
        } else if (StartsWithNoCase(data, "dword:")) {
            const std::string digits = data.substr(6);
            if (digits.size() != 8) {
                continue;
            }
            std::string hexList;
            for (int b = 3; b >= 0; --b) { // little-endian bytes
                hexList += digits.substr(static_cast<size_t>(b) * 2, 2) + ",";
            }
            if (auto bytes = ParseHexBytes(hexList)) {
                SetBinary(currentKey, name, *bytes);
            }
        } else if (StartsWithNoCase(data, "hex")) {
            const size_t colon = data.find(':');
            if (colon == std::string::npos) {
                continue;
            }
            const std::string kind = Lower(data.substr(0, colon));
            auto bytes = ParseHexBytes(std::string_view(data).substr(colon + 1));
            if (!bytes) {
                continue;
            }
            if (kind == "hex(1)" || kind == "hex(2)") { // REG_SZ, REG_EXPAND_SZ
                SetString(currentKey, name,
                          unicode ? Utf16LeTo1252(DropFinalZeros(*bytes, 2))
                                  : DropFinalZeros(*bytes, 1));
            } else {
                SetBinary(currentKey, name, *bytes);
            }
        }
    }
    return true;
}

} // namespace vuni
