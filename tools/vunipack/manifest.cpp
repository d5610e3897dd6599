#include "manifest.h"

#include "package/info_fields.h"
#include "text/safe_path.h"
#include "text/text.h"
#include "update/date_mask.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>
#include <optional>

namespace vuni::pack {
bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t extra = 0;
        uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= s.size()) {
            return false;
        }
        for (size_t k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        // Overlong forms, surrogates and values above U+10FFFF are not UTF-8.
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

namespace {

// ---- encoding ----------------------------------------------------------------------

// The five byte values that Windows-1252 leaves undefined.
bool IsUndefinedCp1252(unsigned char c) {
    return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

struct SourceLine {
    int number = 0;
    std::string text; // Windows-1252
};

std::string HexCode(uint32_t code, int digits) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        text += kHex[(code >> shift) & 0xF];
    }
    return text;
}

// A UTF-8 line in Windows-1252; the first character that it cannot hold (or a zero byte)
// is named with its code and column.
std::string DecodeUtf8Line(std::string_view raw, int number, std::vector<ManifestError>& errors) {
    std::string text;
    bool faulted = false;
    int column = 0;
    for (size_t i = 0; i < raw.size(); ++column) {
        const auto lead = static_cast<unsigned char>(raw[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::string_view one = raw.substr(i, length);
        i += length;
        std::string converted;
        if (lead != 0 && Utf8ToCp1252(one, converted)) {
            text += converted;
            continue;
        }
        text += '?';
        if (faulted) {
            continue;
        }
        faulted = true;
        uint32_t code = length == 1 ? lead : lead & (0xFF >> (length + 1));
        for (size_t k = 1; k < one.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(one[k]) & 0x3F);
        }
        errors.push_back(
            {number, lead == 0 ? "zero byte in the line, column " + std::to_string(column + 1)
                               : "the character U+" + HexCode(code, code > 0xFFFF ? 6 : 4) +
                                     " at column " + std::to_string(column + 1) +
                                     " cannot be written in Windows-1252"});
    }
    return text;
}

// A Windows-1252 line; the first byte that is no character there (or a zero byte) is named
// with its column.
std::string DecodeCp1252Line(std::string_view raw, int number, std::vector<ManifestError>& errors) {
    std::string text(raw);
    bool faulted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c != 0 && !IsUndefinedCp1252(c)) {
            continue;
        }
        if (!faulted) {
            errors.push_back(
                {number, c == 0 ? "zero byte in the line, column " + std::to_string(i + 1)
                                : "the byte 0x" + HexCode(c, 2) + " at column " +
                                      std::to_string(i + 1) + " is no Windows-1252 character"});
        }
        faulted = true;
        text[i] = '?';
    }
    return text;
}

// Splits the bytes into Windows-1252 lines (LF, CR LF or CR end a line).
std::vector<SourceLine> DecodeLines(std::string_view bytes, std::vector<ManifestError>& errors) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    const bool utf8 = IsValidUtf8(bytes);
    std::vector<SourceLine> lines;
    size_t start = 0;
    int number = 1;
    while (start <= bytes.size()) {
        size_t end = start;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') {
            ++end;
        }
        const std::string_view raw = bytes.substr(start, end - start);
        SourceLine line;
        line.number = number;
        // A fault is reported once, at its column; the line is kept with "?" in its place,
        // so that the rest of the manifest is read and no fault follows from this one.
        line.text =
            utf8 ? DecodeUtf8Line(raw, number, errors) : DecodeCp1252Line(raw, number, errors);
        lines.push_back(std::move(line));
        if (end >= bytes.size()) {
            break;
        }
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') {
            ++start;
        }
        ++number;
    }
    return lines;
}

// ---- values --------------------------------------------------------------------------

std::optional<int64_t> ParseInteger(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    bool negative = false;
    size_t i = 0;
    if (text[0] == '-' || text[0] == '+') {
        negative = text[0] == '-';
        i = 1;
    }
    if (i == text.size()) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
        if (value > (int64_t{1} << 40)) {
            return std::nullopt;
        }
    }
    return negative ? -value : value;
}

// Reads count digits at text[at].
std::optional<int> Digits(std::string_view text, size_t at, size_t count) {
    if (at + count > text.size()) {
        return std::nullopt;
    }
    int v = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        v = v * 10 + (text[i] - '0');
    }
    return v;
}

struct FlagName {
    const char* name;
    int32_t value;
};

const FlagName kInfoFlags[] = {{"restart", InfoRestartJaws},
                               {"update-button", InfoUpdateButton},
                               {"update-at-start", InfoUpdateAtStart},
                               {"certified", InfoCertified}};
const FlagName kEntryFlags[] = {{"optional", EntryOptional},
                                {"associable", EntryAssociable},
                                {"compilable", EntryCompilable},
                                {"no-association", EntryNoAssociation},
                                {"no-compile", EntryNoCompile}};

template <size_t N>
bool ParseFlags(std::string_view text, const FlagName (&names)[N], int32_t& flags) {
    flags = 0;
    std::string normal(text);
    for (char& c : normal) {
        if (c == ',' || c == '\t') {
            c = ' ';
        }
    }
    for (const std::string& word : Split(normal, ' ')) {
        if (word.empty()) {
            continue;
        }
        bool known = false;
        for (const FlagName& f : names) {
            if (EqualsNoCase(word, f.name)) {
                flags |= f.value;
                known = true;
            }
        }
        if (!known) {
            return false;
        }
    }
    return true;
}

template <size_t N> std::string FlagList(const FlagName (&names)[N]) {
    std::string out;
    for (const FlagName& f : names) {
        out += out.empty() ? "" : ", ";
        out += f.name;
    }
    return out;
}

template <size_t N> std::string NamesOf(int32_t flags, const FlagName (&names)[N]) {
    std::string out;
    int32_t rest = flags;
    for (const FlagName& f : names) {
        if ((flags & f.value) != 0) {
            out += out.empty() ? "" : ", ";
            out += f.name;
            rest &= ~f.value;
        }
    }
    if (rest != 0) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "0x%x", static_cast<unsigned>(rest));
        out += out.empty() ? "" : ", ";
        out += buffer;
    }
    return out;
}

bool IsSoundFileName(const std::string& name) {
    // A device's name (CON, NUL.txt, ...) opens the device on the user's machine.
    if (name.empty() || name == "." || name == ".." || UnsafePathReason(name, false) != nullptr) {
        return false;
    }
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 ||
            std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
            return false;
        }
    }
    return true;
}

// ---- sections ------------------------------------------------------------------------

enum class SectionKind { None, Package, Group, File, Intro };

struct PendingFile {
    ManifestFile file;
    int sectionLine = 0;
    bool hasPath = false;
    bool hasName = false;
    std::string groupName;
    int groupLine = 0;
};

class Parser {
public:
    Parser(Manifest& m, std::vector<ManifestError>& errors) : m_(m), errors_(errors) {}

    void Run(const std::vector<SourceLine>& lines) {
        for (const SourceLine& line : lines) {
            Line(line.number, line.text);
        }
        EndSection();
        Finish();
    }

private:
    void Error(int line, std::string message) { errors_.push_back({line, std::move(message)}); }

    void Line(int number, const std::string& raw) {
        const std::string text = TrimBlanks(raw);
        if (text.empty() || text[0] == ';' || text[0] == '#') {
            return;
        }
        if (text[0] == '[') {
            EndSection();
            BeginSection(number, text);
            return;
        }
        if (text[0] == '|') {
            Continuation(number, text);
            return;
        }
        const size_t eq = text.find('=');
        if (eq == std::string::npos || eq == 0) {
            Error(number, "expected '[section]' or 'key = value'");
            lastTextField_ = nullptr;
            return;
        }
        const std::string key = TrimBlanks(std::string_view(text).substr(0, eq));
        const std::string value = TrimBlanks(std::string_view(text).substr(eq + 1));
        lastTextField_ = nullptr;
        if (skipping_) {
            return; // the keys of a refused section, already reported
        }
        if (kind_ == SectionKind::None) {
            Error(number, "key '" + key + "' outside of any section");
            return;
        }
        const std::string lower = Lower(key);
        if (auto seen = keysSeen_.find(lower); seen != keysSeen_.end()) {
            Error(number,
                  "duplicate key '" + key + "' (first at line " + Decimal(seen->second) + ")");
            return;
        }
        keysSeen_[lower] = number;
        switch (kind_) {
        case SectionKind::Package:
            PackageKey(number, key, value);
            break;
        case SectionKind::Group:
            GroupKey(number, key, value);
            break;
        case SectionKind::File:
        case SectionKind::Intro:
            FileKey(number, key, value);
            break;
        case SectionKind::None:
            break;
        }
    }

    void BeginSection(int number, const std::string& text) {
        keysSeen_.clear();
        lastTextField_ = nullptr;
        kind_ = SectionKind::None;
        if (text.back() != ']') {
            Error(number, "section header without its closing ']'");
            skipping_ = true;
            return;
        }
        const std::string inner = TrimBlanks(std::string_view(text).substr(1, text.size() - 2));
        const std::string word = Lower(inner.substr(0, inner.find_first_of(" \t")));
        const std::string rest = word.size() < inner.size()
                                     ? TrimBlanks(std::string_view(inner).substr(word.size()))
                                     : std::string();
        skipping_ = false;
        sectionLine_ = number;
        if (word == "package" && rest.empty()) {
            if (packageLine_ != 0) {
                Error(number,
                      "duplicate [package] section (first at line " + Decimal(packageLine_) + ")");
                skipping_ = true;
                return;
            }
            packageLine_ = number;
            m_.packageLine = number;
            kind_ = SectionKind::Package;
        } else if (word == "group") {
            if (rest.empty()) {
                Error(number, "a group section needs a name: [group NAME]");
                skipping_ = true;
                return;
            }
            if (auto it = groupLines_.find(Lower(rest)); it != groupLines_.end()) {
                Error(number,
                      "duplicate group '" + rest + "' (first at line " + Decimal(it->second) + ")");
                skipping_ = true;
                return;
            }
            groupLines_[Lower(rest)] = number;
            groupIndex_[Lower(rest)] = static_cast<int32_t>(m_.groups.size());
            m_.groups.push_back({rest, ""});
            m_.groupLines.push_back(number);
            kind_ = SectionKind::Group;
        } else if ((word == "file" || word == "intro") && rest.empty()) {
            if (word == "intro") {
                if (introLine_ != 0) {
                    Error(number,
                          "duplicate [intro] section (first at line " + Decimal(introLine_) + ")");
                    skipping_ = true;
                    return;
                }
                introLine_ = number;
            }
            kind_ = word == "file" ? SectionKind::File : SectionKind::Intro;
            pending_ = PendingFile{};
            pending_.sectionLine = number;
            pending_.file.line = number;
            if (kind_ == SectionKind::File) {
                pending_.file.entry.destination = "%JawsScriptPath%\\";
            } else {
                pending_.file.entry.groupIndex = kIntroSoundGroup;
            }
        } else {
            Error(number, "unknown section '" + text + "'");
            skipping_ = true;
        }
    }

    void EndSection() {
        if (kind_ == SectionKind::Package) {
            packageKeys_ = keysSeen_;
        }
        if (kind_ == SectionKind::File || kind_ == SectionKind::Intro) {
            if (!pending_.hasPath) {
                Error(pending_.sectionLine, "missing key 'path'");
            } else if (kind_ == SectionKind::File && pending_.groupName.empty()) {
                Error(pending_.sectionLine, "missing key 'group'");
            } else {
                if (!pending_.hasName) {
                    pending_.file.entry.sourceName = FileNamePart(pending_.file.path);
                    if (!IsSoundFileName(pending_.file.entry.sourceName)) {
                        Error(pending_.file.line, "the path names no file; add a 'name' key");
                    }
                }
                pendingFiles_.push_back(pending_);
            }
        }
        kind_ = SectionKind::None;
    }

    void Continuation(int number, const std::string& text) {
        if (lastTextField_ == nullptr) {
            Error(number, "a '|' line continues a text key of [package] and must follow it");
            return;
        }
        std::string_view more = std::string_view(text).substr(1);
        if (!more.empty() && more[0] == ' ') {
            more.remove_prefix(1);
        }
        *lastTextField_ += "\r\n";
        *lastTextField_ += more;
    }

    void PackageKey(int number, const std::string& key, const std::string& value) {
        const auto field =
            std::find_if(std::begin(kInfoFields), std::end(kInfoFields),
                         [&key](const InfoField& f) { return EqualsNoCase(key, f.name); });
        if (field == std::end(kInfoFields)) {
            Error(number, "unknown key '" + key + "' in [package]");
            return;
        }
        PackageInfo& info = m_.info;
        switch (field->kind) {
        case InfoFieldKind::Text:
            lastTextField_ = &(info.*field->text);
            *lastTextField_ = value;
            break;
        case InfoFieldKind::Date:
            if (!ParsePackageDate(value, info.*field->number)) {
                Error(number, "bad value for 'date': '" + value +
                                  "' (expected YYYY-MM-DD HH:MM or a number of seconds)");
            }
            break;
        case InfoFieldKind::Flags:
            if (!ParseFlags(value, kInfoFlags, info.*field->number)) {
                Error(number, "bad value for 'flags': '" + value +
                                  "' (known flags: " + FlagList(kInfoFlags) + ")");
            }
            break;
        }
    }

    void GroupKey(int number, const std::string& key, const std::string& value) {
        if (skipping_) {
            return;
        }
        if (EqualsNoCase(key, "alias")) {
            m_.groups.back().alias = value;
        } else {
            Error(number, "unknown key '" + key + "' in [group]");
        }
    }

    void FileKey(int number, const std::string& key, const std::string& value) {
        if (skipping_) {
            return;
        }
        const bool intro = kind_ == SectionKind::Intro;
        const char* section = intro ? "[intro]" : "[file]";
        ManifestFile& f = pending_.file;
        if (EqualsNoCase(key, "path")) {
            if (value.empty()) {
                Error(number, "bad value for 'path': empty");
                return;
            }
            f.path = value;
            f.line = number;
            pending_.hasPath = true;
        } else if (EqualsNoCase(key, "name")) {
            if (!IsSoundFileName(value)) {
                Error(number, "bad value for 'name': '" + value +
                                  "' (a file name without \\ / : * ? \" < > |, not a device "
                                  "name such as CON or NUL.txt)");
                return;
            }
            f.entry.sourceName = value;
            pending_.hasName = true;
        } else if (!intro && EqualsNoCase(key, "destination")) {
            if (value.empty()) {
                Error(number, "bad value for 'destination': empty");
                return;
            }
            f.entry.destination = EnsureTrailingBackslash(ReplaceAll(value, "/", "\\"));
            if (const char* reason = UnsafePathReason(f.entry.destination, true)) {
                Error(number, "bad value for 'destination': '" + value + "' holds " + reason +
                                  ": files must stay in the folder it names");
            }
        } else if (!intro && EqualsNoCase(key, "group")) {
            if (value.empty()) {
                Error(number, "bad value for 'group': empty");
                return;
            }
            pending_.groupName = value;
            pending_.groupLine = number;
        } else if (!intro && EqualsNoCase(key, "compileOrder")) {
            const auto n = ParseInteger(value);
            if (!n || *n < 0 || *n > INT32_MAX) {
                Error(number, "bad value for 'compileOrder': '" + value +
                                  "' (expected a whole number, 0 or more)");
                return;
            }
            f.entry.compileOrder = static_cast<int32_t>(*n);
        } else if (!intro && EqualsNoCase(key, "flags")) {
            if (!ParseFlags(value, kEntryFlags, f.entry.flags)) {
                Error(number, "bad value for 'flags': '" + value +
                                  "' (known flags: " + FlagList(kEntryFlags) + ")");
            }
        } else {
            Error(number, "unknown key '" + key + "' in " + section);
        }
    }

    void Finish() {
        if (packageLine_ == 0) {
            Error(0, "no [package] section");
        } else {
            for (const char* required : {"date", "applicationName", "scriptSetName"}) {
                if (packageKeys_.count(Lower(required)) == 0) {
                    Error(packageLine_, std::string("missing key '") + required + "' in [package]");
                }
            }
        }
        if (m_.groups.empty()) {
            Error(0, "no [group NAME] section: a package needs at least one script group");
        }
        std::map<std::string, int> seenFiles;
        size_t regular = 0;
        for (PendingFile& p : pendingFiles_) {
            if (p.file.entry.groupIndex == kIntroSoundGroup) {
                m_.files.insert(m_.files.begin(), p.file);
                continue;
            }
            ++regular;
            auto g = groupIndex_.find(Lower(p.groupName));
            if (g == groupIndex_.end()) {
                Error(p.groupLine, "unknown group '" + p.groupName + "'");
                continue;
            }
            p.file.entry.groupIndex = g->second;
            const std::string identity = Decimal(g->second) + "|" +
                                         Lower(p.file.entry.destination) + "|" +
                                         Lower(p.file.entry.sourceName);
            if (auto it = seenFiles.find(identity); it != seenFiles.end()) {
                Error(p.sectionLine, "duplicate file '" + p.file.entry.sourceName + "' for " +
                                         p.file.entry.destination + " in group '" + p.groupName +
                                         "' (first at line " + Decimal(it->second) + ")");
                continue;
            }
            seenFiles[identity] = p.sectionLine;
            m_.files.push_back(p.file);
        }
        if (regular == 0) {
            Error(0, "no [file] section: a package needs at least one file");
        }
    }

    Manifest& m_;
    std::vector<ManifestError>& errors_;
    SectionKind kind_ = SectionKind::None;
    bool skipping_ = false;
    int sectionLine_ = 0;
    int packageLine_ = 0;
    int introLine_ = 0;
    std::map<std::string, int> keysSeen_;
    std::map<std::string, int> packageKeys_; // the keys of [package], kept past its end
    std::map<std::string, int> groupLines_;
    std::map<std::string, int32_t> groupIndex_;
    std::string* lastTextField_ = nullptr;
    PendingFile pending_;
    std::vector<PendingFile> pendingFiles_;
};

} // namespace

bool ParseManifest(std::string_view bytes, Manifest& manifest, std::vector<ManifestError>& errors) {
    manifest = Manifest{};
    const size_t before = errors.size();
    const std::vector<SourceLine> lines = DecodeLines(bytes, errors);
    Parser parser(manifest, errors);
    parser.Run(lines);
    return errors.size() == before;
}

bool ParsePackageDate(std::string_view text, int32_t& seconds) {
    const std::string t = TrimBlanks(text);
    int64_t value = 0;
    if (const auto n = ParseInteger(t)) {
        value = *n;
    } else {
        // YYYY-MM-DD HH:MM
        const auto y = Digits(t, 0, 4);
        const auto mo = Digits(t, 5, 2);
        const auto d = Digits(t, 8, 2);
        const auto h = Digits(t, 11, 2);
        const auto mi = Digits(t, 14, 2);
        if (t.size() != 16 || t[4] != '-' || t[7] != '-' || t[10] != ' ' || t[13] != ':' || !y ||
            !mo || !d || !h || !mi) {
            return false;
        }
        const WallClock time{*y, *mo, *d, *h, *mi, 0};
        if (!IsValidWallClock(time)) {
            return false;
        }
        value = SecondsFromWallClock(time);
    }
    if (value < INT32_MIN || value > INT32_MAX) {
        return false;
    }
    seconds = static_cast<int32_t>(value);
    return true;
}

std::string FormatPackageDate(int32_t seconds) {
    return FormatDateSeconds("%yyyy-%mm-%dd %hh:%ii", seconds);
}

std::string InfoFlagNames(int32_t flags) {
    return NamesOf(flags, kInfoFlags);
}
std::string EntryFlagNames(int32_t flags) {
    return NamesOf(flags, kEntryFlags);
}

} // namespace vuni::pack
