#include "merge/merge_pass.h"

#include "text/text.h"

#include <algorithm>

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

} // namespace

void MergeIntoJssText(JssText& jss, const MergeFile& file, std::string& conflicts) {
    conflicts.clear();
    jss.ResetShift();
    const std::string& scan = jss.Scan();
    const std::string commentMarker =
        std::string(kCommentMarkerOpen) + file.tag + std::string(kMarkerClose);

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
        if (line.find("return") != std::string_view::npos) {
            flatten();
            if (const KeywordMatch r = FindReturn(line); r.found) {
                returnPos = lineStart + r.offset;
            }
        }
        // 2. script end
        if (const KeywordMatch e = FindBlockEnd(line, "endscript"); e.found) {
            const std::string lines = BuildDirectiveLines(file, scriptName, kClassScript, 0);
            if (!lines.empty()) {
                jss.InsertAtOffset(lineStart + e.offset, lines);
            }
            scriptName.clear();
            replacing = false;
        }
        // 3. script header
        if (line.find("script") != std::string_view::npos) {
            flatten();
            HeaderMatch h = FindBlockHeader(line, "script");
            if (h.kind == HeaderKind::Complete) {
                scriptName = std::move(h.name);
                headerSeen = true;
                returnPos = kNone;
                replacing = CheckReplace(file, scriptName, kKindReplaceScript,
                                         jss.TextRange(lineStart + jss.Shift(), i + jss.Shift()),
                                         conflicts);
            } else if (h.kind == HeaderKind::Incomplete) {
                continuation = true;
            }
        }
        // 4. function end
        if (const KeywordMatch e = FindBlockEnd(line, "endfunction"); e.found) {
            const std::string lines = BuildDirectiveLines(file, functionName, kClassFunction, 0);
            if (!lines.empty()) {
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
        if (line.find("function") != std::string_view::npos) {
            flatten();
            HeaderMatch h = FindBlockHeader(line, "function");
            if (h.kind == HeaderKind::Complete) {
                functionName = std::move(h.name);
                headerSeen = true;
                returnPos = kNone;
                replacing = CheckReplace(file, functionName, kKindReplaceFunction,
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
            const std::string_view trimmed = TrimView(line);
            if (!trimmed.empty()) {
                previousStart = lineStart;
                previousIsReturnType = IsReturnTypeLine(trimmed);
            }
            lineStart = i + 1;
        }
    }
    jss.Append(BuildDirectiveLines(file, {}, kClassInclude, 0));
}

} // namespace vuni
