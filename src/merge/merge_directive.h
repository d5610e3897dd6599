// Merge files: the directives they carry for the default script, and their parsing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vuni {

class Host;

// Directive kinds: a class, possibly with the replace mark.
constexpr int kClassFunction = 1;
constexpr int kClassInclude = 2;
constexpr int kClassScript = 3;
constexpr int kReplaceMark = 0x200;
constexpr int kKindAddEndFunction = kClassFunction;
constexpr int kKindAddEndScript = kClassScript;
constexpr int kKindReplaceFunction = kReplaceMark | kClassFunction;
constexpr int kKindReplaceScript = kReplaceMark | kClassScript;
constexpr int kKindInclude = kClassInclude;

constexpr int kPositionEnd = 0;
constexpr int kPositionBegin = 1;

struct MergeDirective {
    int kind = 0;
    int position = kPositionEnd;
    std::string target; // script or function name; empty for includes
    std::string line;   // the line to insert, without line end
};

// The directives of one merge file, in file order followed by the include of the file
// itself, and the tag that marks every edit made from it.
struct MergeFile {
    std::vector<MergeDirective> directives;
    std::string tag;
};

// Parses content as the merge file installed at path: path gives the default tag (the whole
// path less every ".vunimerge.jss") and the file name of the implicit include. Empty
// content gives no directive at all.
void ParseMergeContent(MergeFile& file, std::string_view path, std::string_view content);

// Reads the file at path when content is empty, then parses. Fails only when the file has
// to be read and cannot be.
bool ParseMergeFile(MergeFile& file, Host& host, const std::string& path, std::string_view content);

// The lines of every directive aimed at name (without regard to case) with that class and
// position, in list order, each followed by the insertion marker and a LF.
std::string BuildDirectiveLines(const MergeFile& file, std::string_view name, int directiveClass,
                                int position);

// Whether the block name (of the replace kind given) is to be replaced. A header that
// already carries another package's comment-out marker is a conflict: its message goes to
// conflicts and the block is left alone.
bool CheckReplace(const MergeFile& file, std::string_view name, int kind,
                  std::string_view headerText, std::string& conflicts);

} // namespace vuni
