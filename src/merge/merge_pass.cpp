#include "merge/merge_pass.h"

#include "text/stable_order.h"
#include "text/text.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vuni {

namespace {

constexpr size_t kNone = std::string::npos;

// Whether scan[from, to), line feeds counted as spaces, holds a space followed by keyword.
bool HasSpacedKeyword(const std::string& scan, size_t from, size_t to, std::string_view keyword) {
    if (from >= to) {
        return false;
    }
    const std::string_view range(scan.data() + from, to - from);
    for (size_t k = range.find(keyword, 1); k != std::string_view::npos;
         k = range.find(keyword, k + 1)) {
        if (range[k - 1] == ' ' || range[k - 1] == '\n') {
            return true;
        }
    }
    return false;
}

// The next occurrence of a keyword in the scan copy, found once for the whole walk, so a
// line that lacks the keyword costs nothing. A keyword never spans a line feed.
class KeywordCursor {
public:
    // anchor: the index of a letter of the keyword that is rare in scripts, searched first.
    KeywordCursor(const std::string& scan, std::string_view keyword, size_t anchor)
        : scan_(scan), keyword_(keyword), anchor_(anchor), next_(Find(0)) {}
    // Whether scan[lineStart, lineEnd) holds the keyword.
    bool In(size_t lineStart, size_t lineEnd) {
        if (next_ != kNone && next_ < lineStart) {
            next_ = Find(lineStart);
        }
        return next_ != kNone && next_ < lineEnd;
    }

private:
    size_t Find(size_t from) const {
        const char* const base = scan_.data();
        const char* const end = base + scan_.size();
        const char* p = base + from + anchor_;
        const char letter = keyword_[anchor_];
        while (p < end) {
            p = static_cast<const char*>(std::memchr(p, letter, static_cast<size_t>(end - p)));
            if (p == nullptr) {
                return kNone;
            }
            const char* start = p - anchor_;
            if (static_cast<size_t>(end - start) >= keyword_.size() &&
                std::memcmp(start, keyword_.data(), keyword_.size()) == 0) {
                return static_cast<size_t>(start - base);
            }
            ++p;
        }
        return kNone;
    }

    std::string_view scan_;
    std::string_view keyword_;
    size_t anchor_;
    size_t next_;
};

// The lower-case target names of the directives of one class (replace kinds apart), to
// pass quickly over the many blocks that no directive names. The names are kept sorted and
// found by halving (a hash set would add its own table code to the installer).
struct TargetIndex {
    std::vector<std::string> names;
    bool Has(const std::string& name) const {
        return !name.empty() && std::binary_search(names.begin(), names.end(), name);
    }
};

TargetIndex IndexOf(const MergeFile& file, bool (*keep)(int kind)) {
    TargetIndex index;
    for (const MergeDirective& d : file.directives) {
        if (keep(d.kind)) {
            index.names.push_back(Lower(d.target));
        }
    }
    StableSort(index.names, [](const std::string& a, const std::string& b) { return a < b; });
    return index;
}

} // namespace

void MergeIntoJssText(JssText& jss, const MergeFile& file, std::string& conflicts) {
    conflicts.clear();
    jss.ResetShift();
    const std::string& scan = jss.Scan();
    const std::string commentMarker =
        std::string(kCommentMarkerOpen) + file.tag + std::string(kMarkerClose);

    // Names from the scan copy are lower case already.
    const TargetIndex scriptTargets =
        IndexOf(file, [](int kind) { return (kind & 0xFF) == kClassScript; });
    const TargetIndex functionTargets =
        IndexOf(file, [](int kind) { return (kind & 0xFF) == kClassFunction; });
    const TargetIndex scriptReplaces =
        IndexOf(file, [](int kind) { return kind == kKindReplaceScript; });
    const TargetIndex functionReplaces =
        IndexOf(file, [](int kind) { return kind == kKindReplaceFunction; });

    std::string scriptName;
    std::string functionName;
    size_t returnPos = kNone;
    bool replacing = false;
    bool headerSeen = false;
    bool continuation = false;
    bool beginIncludesPlaced = false;
    bool previousIsReturnType = false;
    size_t previousStart = 0;
    size_t lineStart = 0;
    std::string joined;
    KeywordCursor returnWord(scan, "return", 3);     // "u"
    KeywordCursor scriptWord(scan, "script", 4);     // "p"
    KeywordCursor functionWord(scan, "function", 0); // "f"

    for (size_t i = scan.find('\n'); i != kNone; i = scan.find('\n', i + 1)) {
        std::string_view line(scan.data() + lineStart, i - lineStart);
        // Only a header continued over several lines holds line feeds; the rules that need
        // it see them as spaces.
        bool hasLineFeeds = continuation;
        auto flatten = [&] {
            if (hasLineFeeds) {
                joined.assign(line);
                std::replace(joined.begin(), joined.end(), '\n', ' ');
                line = joined;
                hasLineFeeds = false;
            }
        };

        // 1. return statement
        if (returnWord.In(lineStart, i)) {
            flatten();
            if (const KeywordMatch r = FindReturn(line); r.found) {
                returnPos = lineStart + r.offset;
            }
        }
        // "endscript" and "endfunction" can only be where "script" and "function" are.
        const bool hasScript = scriptWord.In(lineStart, i);
        const bool hasFunction = functionWord.In(lineStart, i);
        // 2. script end
        if (const KeywordMatch e = hasScript ? FindBlockEnd(line, "endscript") : KeywordMatch{};
            e.found) {
            if (scriptTargets.Has(scriptName)) {
                const std::string lines = BuildDirectiveLines(file, scriptName, kClassScript, 0);
                jss.InsertAtOffset(lineStart + e.offset, lines);
            }
            scriptName.clear();
            replacing = false;
        }
        // 3. script header
        if (hasScript) {
            flatten();
            HeaderMatch h = FindBlockHeader(line, "script");
            if (h.kind == HeaderKind::Complete) {
                scriptName = std::move(h.name);
                headerSeen = true;
                returnPos = kNone;
                replacing = scriptReplaces.Has(scriptName) &&
                            CheckReplace(file, scriptName, kKindReplaceScript,
                                         jss.TextRange(lineStart + jss.Shift(), i + jss.Shift()),
                                         conflicts);
            } else if (h.kind == HeaderKind::Incomplete) {
                continuation = true;
            }
        }
        // 4. function end
        if (const KeywordMatch e = hasFunction ? FindBlockEnd(line, "endfunction") : KeywordMatch{};
            e.found) {
            if (functionTargets.Has(functionName)) {
                const std::string lines =
                    BuildDirectiveLines(file, functionName, kClassFunction, 0);
                size_t at = lineStart + e.offset;
                // Before a closing return, unless that return sits in a conditional or a
                // loop that ends later.
                if (returnPos != kNone && !replacing &&
                    !HasSpacedKeyword(scan, returnPos + 6, i, "endif") &&
                    !HasSpacedKeyword(scan, returnPos + 6, i, "endwhile")) {
                    at = returnPos;
                }
                jss.InsertAtOffset(at, lines);
            }
            functionName.clear();
            returnPos = kNone;
            replacing = false;
        }
        // 5. function header
        if (hasFunction) {
            flatten();
            HeaderMatch h = FindBlockHeader(line, "function");
            if (h.kind == HeaderKind::Complete) {
                functionName = std::move(h.name);
                headerSeen = true;
                returnPos = kNone;
                replacing = functionReplaces.Has(functionName) &&
                            CheckReplace(file, functionName, kKindReplaceFunction,
                                         jss.TextRange(lineStart + jss.Shift(), i + jss.Shift()),
                                         conflicts);
            } else if (h.kind == HeaderKind::Incomplete) {
                continuation = true;
            }
        }
        // 6. begin includes, comment-out markers
        if (headerSeen) {
            headerSeen = false;
            continuation = false;
            if (!beginIncludesPlaced) {
                beginIncludesPlaced = true;
                const std::string lines = BuildDirectiveLines(file, {}, kClassInclude, 1);
                if (!lines.empty()) {
                    jss.InsertAtOffset(previousIsReturnType ? previousStart : lineStart, lines);
                }
            }
            if (replacing) {
                jss.InsertAtOffset(i, commentMarker);
            }
        } else if (replacing) {
            jss.InsertAtOffset(lineStart, commentMarker);
        }
        // 7. next line
        if (!continuation) {
            size_t b = 0;
            while (b < line.size() && line[b] == ' ') {
                ++b;
            }
            if (b < line.size()) {
                size_t e = line.size();
                while (line[e - 1] == ' ') {
                    --e;
                }
                const std::string_view trimmed = line.substr(b, e - b);
                previousStart = lineStart;
                previousIsReturnType = IsReturnTypeLine(trimmed);
            }
            lineStart = i + 1;
        }
    }
    jss.Append(BuildDirectiveLines(file, {}, kClassInclude, 0));
}

} // namespace vuni
