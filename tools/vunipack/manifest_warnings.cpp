#include "manifest_warnings.h"

#include "jaws/host_items.h"
#include "text/text.h"

#include <algorithm>
#include <iterator>
#include <map>

namespace vuni::pack {
namespace {

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && EqualsNoCase(s.substr(s.size() - suffix.size()), suffix);
}

bool IsScriptSource(const std::string& name) {
    return EndsWithNoCase(name, ".jss");
}

// The placeholders the installer expands at the start of a destination.
bool KnownPlaceholder(std::string_view word) {
    for (const char* known :
         {kUserJawsPlaceholder, kSharedJawsPlaceholder, kUserAppDataPlaceholder,
          kSharedAppDataPlaceholder, kMyDocumentsPlaceholder, kScriptPathPlaceholder}) {
        if (EqualsNoCase(word, known)) {
            return true;
        }
    }
    return false;
}

void DestinationWarnings(const ManifestFile& f, std::vector<ManifestError>& out) {
    const std::string& d = f.entry.destination;
    if (!d.empty() && d[0] == '%') {
        const size_t close = d.find('%', 1);
        const std::string_view word(d.data(), close == std::string::npos ? d.size() : close + 1);
        if (!KnownPlaceholder(word)) {
            out.push_back({f.line, "destination '" + d + "' starts with the unknown placeholder '" +
                                       std::string(word) +
                                       "': it is used as a folder name as it stands"});
        }
    } else if (d.size() >= 2 && (d[1] == ':' || (d[0] == '\\' && d[1] == '\\'))) {
        out.push_back({f.line, "absolute destination '" + d +
                                   "': the same folder on every user's machine, whatever "
                                   "settings folder the user chooses"});
    } else {
        out.push_back({f.line, "destination '" + d +
                                   "' starts with no placeholder: it is taken relative to "
                                   "the folder the installer runs in"});
    }
}

void FileWarnings(const Manifest& m, std::vector<ManifestError>& out) {
    std::map<std::pair<int32_t, int32_t>, int> orders; // (group, compile order) -> line
    for (const ManifestFile& f : m.files) {
        if (f.entry.groupIndex == kIntroSoundGroup) {
            continue;
        }
        DestinationWarnings(f, out);
        const int32_t flags = f.entry.flags;
        if ((flags & EntryCompilable) != 0 && (flags & EntryAssociable) == 0) {
            if (f.entry.compileOrder == 0) {
                out.push_back({f.line, "'" + f.entry.sourceName +
                                           "' is compilable without a compileOrder: the "
                                           "installer shows it as the \"0ème\" to compile"});
            } else if (const auto [it, fresh] =
                           orders.try_emplace({f.entry.groupIndex, f.entry.compileOrder}, f.line);
                       !fresh) {
                out.push_back({f.line, "'" + f.entry.sourceName + "' has the compileOrder " +
                                           Decimal(f.entry.compileOrder) + " of the file at line " +
                                           Decimal(it->second)});
            }
        }
        if (((flags & EntryNoAssociation) != 0 && (flags & EntryAssociable) == 0) ||
            ((flags & EntryNoCompile) != 0 && (flags & EntryCompilable) == 0)) {
            out.push_back({f.line, "'" + f.entry.sourceName +
                                       "': no-association needs associable and no-compile "
                                       "needs compilable; without them the flag does nothing"});
        }
        if ((flags & EntryAssociable) != 0 && !IsScriptSource(f.entry.sourceName)) {
            out.push_back({f.line, "'" + f.entry.sourceName +
                                       "' is associable but is no script source (.jss): it "
                                       "would be merged into Default.JSS"});
        }
    }
}

// The alias update writes "alias=<script set name>" into ConfigNames.ini: the screen reader
// then loads <script set name>.jsb for those programs, so a group with aliases should
// install that script.
void AliasWarnings(const Manifest& m, std::vector<ManifestError>& out) {
    const std::string wanted = m.info.scriptSetName + ".jss";
    for (size_t g = 0; g < m.groups.size(); ++g) {
        if (m.groups[g].alias.empty()) {
            continue;
        }
        const bool installs = std::any_of(m.files.begin(), m.files.end(), [&](const auto& f) {
            return f.entry.groupIndex == static_cast<int32_t>(g) &&
                   EqualsNoCase(f.entry.sourceName, wanted);
        });
        if (!installs) {
            const int line = g < m.groupLines.size() ? m.groupLines[g] : 0;
            out.push_back({line, "group '" + m.groups[g].name + "' has aliases (" +
                                     m.groups[g].alias + ") but installs no '" + wanted +
                                     "': the alias update points those programs at the "
                                     "script set name, so the scripts it installs are not "
                                     "the ones used"});
        }
    }
}

void PackageWarnings(const Manifest& m, std::vector<ManifestError>& out) {
    const std::string& location = m.info.updateLocation;
    if (StartsWithNoCase(location, "https://")) {
        out.push_back({m.packageLine, "updateLocation '" + location +
                                          "': the new-version check speaks plain HTTP and "
                                          "cannot read an https:// address"});
    }
    if (location.empty() && (m.info.flags & (InfoUpdateAtStart | InfoUpdateButton)) != 0) {
        out.push_back({m.packageLine, "a new-version check is asked for (flags) but "
                                      "updateLocation is empty"});
    }
}

} // namespace

std::vector<ManifestError> ManifestWarnings(const Manifest& manifest) {
    std::vector<ManifestError> out;
    PackageWarnings(manifest, out);
    AliasWarnings(manifest, out);
    FileWarnings(manifest, out);
    std::stable_sort(out.begin(), out.end(), [](const ManifestError& a, const ManifestError& b) {
        return a.line < b.line;
    });
    return out;
}

bool IsTextFile(const std::string& name) {
    constexpr const char* kSuffixes[] = {".jss", ".jsh", ".jsm", ".jkm", ".ini", ".txt"};
    return std::any_of(std::begin(kSuffixes), std::end(kSuffixes),
                       [&name](const char* suffix) { return EndsWithNoCase(name, suffix); });
}

int Utf8TextLine(std::string_view bytes) {
    const bool mark = StartsWith(bytes, "\xEF\xBB\xBF");
    size_t high = 0;
    while (high < bytes.size() && static_cast<unsigned char>(bytes[high]) < 0x80) {
        ++high;
    }
    if (high == bytes.size() || !IsValidUtf8(bytes)) {
        return 0;
    }
    const size_t at = mark ? 0 : high;
    return 1 + static_cast<int>(
                   std::count(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(at), '\n'));
}

std::string ContentWarning(const ManifestFile& file, std::string_view bytes) {
    const int line = IsTextFile(file.entry.sourceName) ? Utf8TextLine(bytes) : 0;
    if (line == 0) {
        return {};
    }
    return "'" + file.entry.sourceName + "' looks saved as UTF-8 (line " + std::to_string(line) +
           "): the installer and the screen reader read Windows-1252, so its accented letters "
           "will come out wrong; --convert-utf8 converts it";
}

} // namespace vuni::pack
