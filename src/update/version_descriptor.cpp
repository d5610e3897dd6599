#include "update/version_descriptor.h"

#include "text/text.h"

namespace vuni {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Length of the UTF-8 sequence starting with lead, 0 when lead cannot start one.
size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

bool WellFormed(std::string_view utf8, size_t pos, size_t length) {
    if (length == 0 || pos + length > utf8.size()) {
        return false;
    }
    for (size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(utf8[pos + k]) & 0xC0) != 0x80) {
            return false;
        }
    }
    return true;
}

// UTF-8 to Windows-1252, one character at a time, so that one bad character costs one "?"
// and not the whole file.
std::string Utf8ToCp1252Lossy(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const size_t length = SequenceLength(static_cast<unsigned char>(utf8[pos]));
        std::string converted;
        if (length != 0 && pos + length <= utf8.size() &&
            Utf8ToCp1252(utf8.substr(pos, length), converted) && converted.size() == 1) {
            out += converted;
            pos += length;
        } else {
            // A well-formed character outside the code page is skipped whole; a broken
            // sequence only by its first byte, so that what follows is read again.
            out += '?';
            pos += WellFormed(utf8, pos, length) ? length : 1;
        }
    }
    return out;
}

} // namespace

std::string DescriptorText(std::string_view bytes) {
    if (StartsWith(bytes, kUtf8Bom)) {
        return Utf8ToCp1252Lossy(bytes.substr(kUtf8Bom.size()));
    }
    return std::string(bytes);
}

std::string DescriptorValue(std::string_view text, std::string_view key) {
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') {
            ++pos;
        }
        size_t start = 0;
        while (start < line.size() && IsBlank(line[start])) {
            ++start;
        }
        line.remove_prefix(start);
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            break; // keys after the first section do not count
        }
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        std::string_view name = line.substr(0, equals);
        while (!name.empty() && IsBlank(name.back())) {
            name.remove_suffix(1);
        }
        if (EqualsNoCase(name, key)) {
            return TrimBlanks(line.substr(equals + 1));
        }
    }
    return {};
}

VersionDescriptor ParseVersionDescriptor(std::string_view bytes) {
    const std::string text = DescriptorText(bytes);
    VersionDescriptor descriptor;
    descriptor.nameNewVersion = DescriptorValue(text, kKeyNameNewVersion);
    descriptor.newDate = DescriptorValue(text, kKeyNewDate);
    return descriptor;
}

} // namespace vuni
