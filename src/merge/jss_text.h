// The default script under edit: its working text, the scan copy that every recognition
// rule reads, and the running shift that places insertions.
//
// The working text is Windows-1252, lines ending with a single LF once prepared. The scan
// copy has the same length right after preparation: it is lower case, tabs are spaces, and
// string contents and comments are blanked, so keyword searches never match inside them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vuni {

// Characters to delete are overwritten with this byte while a pass runs, so that offsets
// stay valid; they are removed once at the end of the pass.
constexpr char kDeletionMark = '\x15';

// The markers written into the default script; each is opening piece + tag + closing piece.
inline constexpr std::string_view kInsertionMarkerOpen = " ; [ Vuni-";
inline constexpr std::string_view kCommentMarkerOpen = "; [ VuniComment-";
inline constexpr std::string_view kMarkerClose = " ]";

class JssText {
public:
    JssText() = default;
    explicit JssText(std::string text) : text_(std::move(text)) {}

    // Replaces the working text (raw bytes) and forgets the scan copy and the shift.
    void Assign(std::string text);
    // The working text with every insertion made so far in place.
    const std::string& Text();
    // Length and a range [from, to) of the working text as it stands, insertions included,
    // without putting pending insertions in place.
    size_t TextSize() const { return pending_.size() + (text_.size() - flushed_); }
    std::string TextRange(size_t from, size_t to) const;

    const std::string& Scan() const { return scan_; }
    size_t Shift() const { return shift_; }
    // Starts a new merge pass: the scan copy stays, the shift goes back to 0.
    void ResetShift();

    // Inserts s at offset + shift of the working text, then adds the length of s to the
    // shift. offset is a scan offset. Insertions in non-decreasing order of offset are
    // appended to a new buffer as the walk goes, so a whole pass stays linear; an offset
    // below an earlier one is still honoured exactly (by a real mid-text insertion).
    void InsertAtOffset(size_t offset, std::string_view s);
    // Appends s at the very end of the working text.
    void Append(std::string_view s);

    friend void PrepareJssText(JssText& jss, std::string_view tag);

private:
    // Puts pending insertions in place: text_ becomes the whole working text.
    void Commit();

    // The working text is pending_ followed by text_ from flushed_ on.
    std::string text_;
    std::string pending_;
    size_t flushed_ = 0;
    std::string scan_;
    size_t shift_ = 0;
};

// The preparation pass: appends a LF, drops every CR, builds the scan copy, and removes
// every marker (and every line) that an earlier merge under tag left. Also removes any
// deletion-mark byte already present in the text.
void PrepareJssText(JssText& jss, std::string_view tag);

// ---- recognition rules, on one line of the scan copy (offsets are 0-based in the line) --

struct KeywordMatch {
    bool found = false;
    size_t offset = 0; // where text goes in front of the statement
};

// A return statement, and the offset to insert before it.
KeywordMatch FindReturn(std::string_view line);
// The end of a block ("endscript" or "endfunction"), and the offset to insert before it.
KeywordMatch FindBlockEnd(std::string_view line, std::string_view keyword);

enum class HeaderKind { None, Incomplete, Complete };
struct HeaderMatch {
    HeaderKind kind = HeaderKind::None;
    std::string name; // lower case, trimmed; set for a complete header
};
// The header of a block ("script" or "function"). Incomplete: a header whose parentheses
// are still missing (it continues on the next line).
HeaderMatch FindBlockHeader(std::string_view line, std::string_view keyword);

// True when a trimmed scan line is a return type written alone on its line.
bool IsReturnTypeLine(std::string_view trimmed);

} // namespace vuni
