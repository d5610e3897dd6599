#include "text/text.h"

#include <array>

namespace vuni {
namespace {

constexpr std::array<unsigned char, 256> MakeLowerTable() {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i) {
        t[i] = static_cast<unsigned char>(i);
    }
    for (int i = 'A'; i <= 'Z'; ++i) {
        t[i] = static_cast<unsigned char>(i + 32);
    }
    for (int i = 0xC0; i <= 0xDE; ++i) {
        if (i != 0xD7) {
            t[i] = static_cast<unsigned char>(i + 32);
        }
    }
    t[0x8A] = 0x9A;
    t[0x8C] = 0x9C;
    t[0x8E] = 0x9E;
    t[0x9F] = 0xFF;
    return t;
}

constexpr std::array<unsigned char, 256> MakeUpperTable() {
    std::array<unsigned char, 256> lower = MakeLowerTable();
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i) {
        t[i] = static_cast<unsigned char>(i);
    }
    for (int i = 0; i < 256; ++i) {
        if (lower[i] != i) {
            t[lower[i]] = static_cast<unsigned char>(i);
        }
    }
    return t;
}

constexpr std::array<unsigned char, 256> kLower = MakeLowerTable();
constexpr std::array<unsigned char, 256> kUpper = MakeUpperTable();

// Unicode code points of 0x80-0x9F in Windows-1252; 0 where the code page has no character.
constexpr std::array<uint16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

} // namespace

char LowerChar(char c) { return static_cast<char>(kLower[static_cast<unsigned char>(c)]); }
char UpperChar(char c) { return static_cast<char>(kUpper[static_cast<unsigned char>(c)]); }

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = LowerChar(c);
    }
    return out;
}

std::string_view TrimView(std::string_view s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && s[b] == ' ') {
        ++b;
    }
    while (e > b && s[e - 1] == ' ') {
        --e;
    }
    return s.substr(b, e - b);
}

std::string Trim(std::string_view s) { return std::string(TrimView(s)); }

std::string TrimLeft(std::string_view s) {
    size_t b = 0;
    while (b < s.size() && s[b] == ' ') {
        ++b;
    }
    return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
    size_t e = s.size();
    while (e > 0 && s[e - 1] == ' ') {
        --e;
    }
    return std::string(s.substr(0, e));
}

std::string TrimBlanks(std::string_view s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && IsBlank(s[b])) {
        ++b;
    }
    while (e > b && IsBlank(s[e - 1])) {
        --e;
    }
    return std::string(s.substr(b, e - b));
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerChar(a[i]) != LowerChar(b[i])) {
            return false;
        }
    }
    return true;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

size_t FindNoCase(std::string_view hay, std::string_view needle, size_t from) {
    if (needle.empty()) {
        return from <= hay.size() ? from : std::string_view::npos;
    }
    if (hay.size() < needle.size()) {
        return std::string_view::npos;
    }
    const char first = LowerChar(needle[0]);
    for (size_t i = from; i + needle.size() <= hay.size(); ++i) {
        if (LowerChar(hay[i]) != first) {
            continue;
        }
        size_t k = 1;
        while (k < needle.size() && LowerChar(hay[i + k]) == LowerChar(needle[k])) {
            ++k;
        }
        if (k == needle.size()) {
            return i;
        }
    }
    return std::string_view::npos;
}

namespace {
template <typename FindFn>
std::string ReplaceAllWith(std::string_view s, std::string_view what, std::string_view with,
                           FindFn find) {
    if (what.empty()) {
        return std::string(s);
    }
    std::string out;
    out.reserve(s.size());
    size_t pos = 0;
    for (;;) {
        size_t hit = find(s, what, pos);
        if (hit == std::string_view::npos) {
            break;
        }
        out.append(s.substr(pos, hit - pos));
        out.append(with);
        pos = hit + what.size();
    }
    out.append(s.substr(pos));
    return out;
}
} // namespace

std::string ReplaceAllNoCase(std::string_view s, std::string_view what, std::string_view with) {
    return ReplaceAllWith(s, what, with, [](std::string_view h, std::string_view n, size_t f) {
        return FindNoCase(h, n, f);
    });
}

std::string ReplaceAll(std::string_view s, std::string_view what, std::string_view with) {
    return ReplaceAllWith(s, what, with, [](std::string_view h, std::string_view n, size_t f) {
        return h.find(n, f);
    });
}

std::vector<std::string> Split(std::string_view s, char separator) {
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        size_t hit = s.find(separator, start);
        if (hit == std::string_view::npos) {
            out.emplace_back(s.substr(start));
            return out;
        }
        out.emplace_back(s.substr(start, hit - start));
        start = hit + 1;
    }
}

std::string Field(std::string_view s, char separator, size_t n) {
    size_t start = 0;
    for (size_t k = 1; k < n; ++k) {
        size_t hit = s.find(separator, start);
        if (hit == std::string_view::npos) {
            return {};
        }
        start = hit + 1;
    }
    size_t end = s.find(separator, start);
    return std::string(s.substr(start, end == std::string_view::npos ? s.npos : end - start));
}

size_t CountChar(std::string_view s, char c) {
    size_t n = 0;
    for (char x : s) {
        n += (x == c) ? 1 : 0;
    }
    return n;
}

std::string Decimal(int64_t value) { return std::to_string(value); }

int64_t LeadingInteger(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) {
        ++i;
    }
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        negative = s[i] == '-';
        ++i;
    }
    uint64_t v = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        if (v < (uint64_t{1} << 62)) {
            v = v * 10 + static_cast<uint64_t>(s[i] - '0');
        }
        ++i;
    }
    const auto magnitude = static_cast<int64_t>(v);
    return negative ? -magnitude : magnitude;
}

std::string FolderPart(std::string_view path) {
    size_t cut = path.find_last_of("\\/");
    return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

std::string FileNamePart(std::string_view path) {
    size_t cut = path.find_last_of("\\/");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string StripTrailingBackslash(std::string_view path) {
    if (!path.empty() && path.back() == '\\') {
        path.remove_suffix(1);
    }
    return std::string(path);
}

std::string EnsureTrailingBackslash(std::string_view path) {
    std::string out(path);
    if (out.empty() || out.back() != '\\') {
        out.push_back('\\');
    }
    return out;
}

std::string Cp1252ToUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size() + s.size() / 8);
    for (char ch : s) {
        auto c = static_cast<unsigned char>(ch);
        uint32_t cp = c;
        if (c >= 0x80 && c <= 0x9F) {
            cp = kHigh[c - 0x80] != 0 ? kHigh[c - 0x80] : 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

bool Utf8ToCp1252(std::string_view utf8, std::string& out) {
    out.clear();
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        auto c = static_cast<unsigned char>(utf8[i]);
        uint32_t cp = 0;
        size_t extra = 0;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else {
            return false;
        }
        for (size_t k = 1; k <= extra; ++k) {
            if (i + k >= utf8.size()) {
                return false;
            }
            auto cc = static_cast<unsigned char>(utf8[i + k]);
            if ((cc & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        i += extra + 1;
        if (extra > 0 && cp < 0x80) {
            return false; // overlong form
        }
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out.push_back(static_cast<char>(cp));
            continue;
        }
        bool found = false;
        for (size_t k = 0; k < kHigh.size(); ++k) {
            if (kHigh[k] != 0 && kHigh[k] == cp) {
                out.push_back(static_cast<char>(0x80 + k));
                found = true;
                break;
            }
        }
        if (!found) {
            return false;
        }
    }
    return true;
}

} // namespace vuni
