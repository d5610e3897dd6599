// The ConfigNames.ini rewrite: the package's aliases mapped onto its configuration name in
// the "[ConfigNames]" section, added (replacing older entries for the same aliases) or
// removed. Pure functions over text, so the rules can be checked without files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vuni {

// The aliases of an alias text: split at ";", each piece trimmed, empty pieces and exact
// repeats dropped, in order of first appearance. A piece that cannot stand as the key of
// one entry line (it holds a line break or "=", or starts with "[" and would read back as
// a section header) is dropped too.
std::vector<std::string> BuildAliasList(std::string_view aliasText);

// Whether "alias=configuration" reads back as one entry whose key is the alias.
bool WritableAsOneEntry(const std::string& alias);

// The file's lines: a line ends at CR LF, a lone CR or a lone LF; text after the last line
// end is a last line when it is not empty.
std::vector<std::string> SplitIniLines(std::string_view text);

// The section name of a header line ("[ name ]" gives "name" in lower case), or false when
// the line is no header.
bool IniSectionName(std::string_view line, std::string& lowerName);

// The key an entry line stands for: its trimmed, lower-cased text cut before the first ";"
// and then before the first "=".
std::string ConfigNamesKey(std::string_view line);

// The new file text. In add mode the new entries stand at the top of the first
// "[ConfigNames]" section that has a line after its header, or in a section appended at the
// end; in both modes every older entry for one of the aliases is dropped. Every line is
// written as read, followed by CR LF.
std::string RewriteConfigNames(std::string_view fileText, const std::vector<std::string>& aliases,
                               const std::string& configurationName, bool remove);

} // namespace vuni
