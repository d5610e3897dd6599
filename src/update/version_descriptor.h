// The remote version descriptor: a small text file of key=value lines.
//
// Blanks and tabs at the start of a line are skipped; a line starting with ";" is a comment
// and one starting with "[" opens a section. Only the keys before the first section count.
// The key is the text before the first "=" without trailing blanks, the value the rest of
// the line without blanks or tabs at either end; keys match in any letter case and the
// first occurrence wins. Lines end at LF, CR or CR LF. A file that begins with the UTF-8
// byte-order mark is UTF-8 and is converted to Windows-1252 (a character that code page
// cannot hold, or a malformed sequence, becomes "?").
#pragma once

#include <string>
#include <string_view>

namespace vuni {

inline constexpr std::string_view kKeyNameNewVersion = "Name New Version";
inline constexpr std::string_view kKeyNewDate = "New Date";

struct VersionDescriptor {
    std::string nameNewVersion; // empty: no new version
    std::string newDate;        // the date text as written, empty when missing
};

// The value of key in the descriptor text; the empty text when it is missing.
std::string DescriptorValue(std::string_view text, std::string_view key);
VersionDescriptor ParseVersionDescriptor(std::string_view bytes);

// The descriptor's bytes as Windows-1252: UTF-8 (without its byte-order mark) converted
// when the mark is there, the bytes unchanged otherwise.
std::string DescriptorText(std::string_view bytes);

} // namespace vuni
