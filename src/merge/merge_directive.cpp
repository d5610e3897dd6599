#include "merge/merge_directive.h"

#include "merge/jss_text.h"
#include "platform/host.h"
#include "text/text.h"

namespace vuni {

namespace {

void AddDirective(MergeFile& file, int kind, int position, std::string target, std::string line) {
    file.directives.push_back({kind, position, std::move(target), std::move(line)});
}

// "name rest": the name before the first space and the rest, trimmed; recorded only when
// both are there.
void AddBlockDirective(MergeFile& file, int kind, std::string_view argument) {
    const size_t space = argument.find(' ');
    if (space == std::string_view::npos) {
        return;
    }
    std::string name(argument.substr(0, space));
    std::string line = Trim(argument.substr(space));
    if (!name.empty() && !line.empty()) {
        AddDirective(file, kind, kPositionEnd, std::move(name), std::move(line));
    }
}

void ParseLine(MergeFile& file, std::string_view raw) {
    const std::string_view line = TrimView(raw);
    if (line.empty() || line[0] != ';') {
        return;
    }
    const std::string_view rest = TrimView(line.substr(1));
    const std::string_view word = rest.substr(0, rest.find(' '));
    const std::string keyword = Lower(word);
    const std::string_view argument = TrimView(rest.substr(word.size()));
    if (keyword == "merge_tag") {
        file.tag = std::string(argument);
    } else if (keyword == "merge_addendfunction") {
        AddBlockDirective(file, kKindAddEndFunction, argument);
    } else if (keyword == "merge_addendscript") {
        AddBlockDirective(file, kKindAddEndScript, argument);
    } else if (keyword == "merge_replacefunction") {
        AddBlockDirective(file, kKindReplaceFunction, argument);
    } else if (keyword == "merge_replacescript") {
        AddBlockDirective(file, kKindReplaceScript, argument);
    } else if (keyword == "merge_addbegininclude" || keyword == "merge_addendinclude") {
        if (!argument.empty()) {
            AddDirective(file, kKindInclude,
                         keyword == "merge_addbegininclude" ? kPositionBegin : kPositionEnd, {},
                         std::string(argument));
        }
    }
}

} // namespace

void ParseMergeContent(MergeFile& file, std::string_view path, std::string_view content) {
    file.directives.clear();
    file.tag = ReplaceAllNoCase(path, ".vunimerge.jss", "");
    if (content.empty()) {
        return;
    }
    size_t start = 0;
    for (size_t k = 0; k <= content.size(); ++k) {
        if (k == content.size() || content[k] == '\n' || content[k] == '\r') {
            ParseLine(file, content.substr(start, k - start));
            start = k + 1;
        }
    }
    AddDirective(file, kKindInclude, kPositionBegin, {}, "Include \"" + FileNamePart(path) + "\"");
}

bool ParseMergeFile(MergeFile& file, Host& host, const std::string& path,
                    std::string_view content) {
    if (!content.empty()) {
        ParseMergeContent(file, path, content);
        return true;
    }
    file.directives.clear();
    std::string read;
    if (!host.ReadWholeFile(path, read)) {
        return false;
    }
    ParseMergeContent(file, path, read);
    return true;
}

std::string BuildDirectiveLines(const MergeFile& file, std::string_view name, int directiveClass,
                                int position) {
    std::string out;
    for (const MergeDirective& d : file.directives) {
        if ((d.kind & 0xFF) == directiveClass && d.position == position &&
            EqualsNoCase(d.target, name)) {
            out += d.line;
            out += kInsertionMarkerOpen;
            out += file.tag;
            out += kMarkerClose;
            out += '\n';
        }
    }
    return out;
}

bool CheckReplace(const MergeFile& file, std::string_view name, int kind,
                  std::string_view headerText, std::string& conflicts) {
    const MergeDirective* found = nullptr;
    for (const MergeDirective& d : file.directives) {
        if (d.kind == kind && EqualsNoCase(d.target, name)) {
            found = &d;
            break;
        }
    }
    if (found == nullptr) {
        return false;
    }
    const size_t semi = headerText.find(';');
    if (semi == std::string_view::npos) {
        return true;
    }
    size_t pos = semi;
    for (;;) {
        const size_t lb = headerText.find('[', pos);
        if (lb == std::string_view::npos) {
            return true;
        }
        const size_t rb = headerText.find(']', lb);
        if (rb == std::string_view::npos) {
            return true;
        }
        const std::string inner = Trim(Lower(headerText.substr(lb + 1, rb - lb - 1)));
        if (StartsWith(inner, "vunicomment-")) {
            conflicts += (found->kind & 0xFF) == kClassScript ? "Le script " : "La fonction ";
            conflicts += '"';
            conflicts += Lower(name);
            conflicts += '"';
            conflicts += " est déja utilisé par ";
            conflicts += inner.substr(12);
            conflicts += '\n';
            return false;
        }
        pos = rb;
    }
}

} // namespace vuni
