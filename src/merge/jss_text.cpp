#include "merge/jss_text.h"

#include "text/text.h"

#include <algorithm>
#include <cstring>

namespace vuni {

void JssText::Assign(std::string text) {
    text_ = std::move(text);
    pending_.clear();
    flushed_ = 0;
    scan_.clear();
    shift_ = 0;
}

const std::string& JssText::Text() {
    Commit();
    return text_;
}

void JssText::Commit() {
    if (pending_.empty() && flushed_ == 0) {
        return;
    }
    pending_.append(text_, flushed_, std::string::npos);
    text_.swap(pending_);
    pending_.clear();
    flushed_ = 0;
}

std::string JssText::TextRange(size_t from, size_t to) const {
    to = std::min(to, TextSize());
    if (from >= to) {
        return {};
    }
    std::string out;
    out.reserve(to - from);
    const size_t head = pending_.size();
    if (from < head) {
        out.append(pending_, from, std::min(to, head) - from);
    }
    if (to > head) {
        const size_t b = std::max(from, head) - head + flushed_;
        out.append(text_, b, to - std::max(from, head));
    }
    return out;
}

void JssText::ResetShift() {
    Commit();
    shift_ = 0;
}

void JssText::InsertAtOffset(size_t offset, std::string_view s) {
    const size_t at = std::min(offset + shift_, TextSize());
    if (at >= pending_.size()) {
        if (pending_.empty() && flushed_ == 0) {
            pending_.reserve(text_.size() + text_.size() / 16 + s.size());
        }
        const size_t take = at - pending_.size();
        pending_.append(text_, flushed_, take);
        flushed_ += take;
        pending_.append(s);
    } else {
        // Out of order: a genuine insertion into the part already rebuilt.
        pending_.insert(at, s);
    }
    shift_ += s.size();
}

void JssText::Append(std::string_view s) {
    Commit();
    text_.append(s);
}

namespace {

bool IsMarkerText(std::string_view inner, std::string_view opening, std::string_view tag) {
    return inner.size() == opening.size() + tag.size() &&
           EqualsNoCase(inner.substr(0, opening.size()), opening) &&
           EqualsNoCase(inner.substr(opening.size()), tag);
}

// Marker removal for one line whose comment starts at s (just after its ";") and whose LF
// is at lf. The comment is searched in a copy, so that marks written for one marker never
// hide the punctuation that the next one looks for.
bool RemoveMarkers(std::string& text, std::string& scan, size_t lineStart, size_t s, size_t lf,
                   std::string_view tag, std::string& comment) {
    if (std::memchr(text.data() + s, '[', lf - s) == nullptr) {
        return false;
    }
    bool marked = false;
    comment.assign(text, s, lf - s);
    auto mark = [&](size_t from, size_t through) {
        std::memset(text.data() + from, kDeletionMark, through - from + 1);
        std::memset(scan.data() + from, kDeletionMark, through - from + 1);
        marked = true;
    };
    size_t pos = 0;
    for (;;) {
        const size_t lb = comment.find('[', pos);
        if (lb == std::string::npos) {
            return marked;
        }
        const size_t rb = comment.find(']', lb);
        if (rb == std::string::npos) {
            return marked;
        }
        const std::string_view inner =
            TrimView(std::string_view(comment).substr(lb + 1, rb - lb - 1));
        if (IsMarkerText(inner, "vuni-", tag)) {
            mark(lineStart, lf);
            return true;
        }
        if (IsMarkerText(inner, "vunicomment-", tag)) {
            // The last ";" before the "[", not counting the comment's first character.
            size_t semi = std::string::npos;
            for (size_t k = lb; k-- > 1;) {
                if (comment[k] == ';') {
                    semi = k;
                    break;
                }
            }
            mark(semi == std::string::npos ? s - 1 : s + semi, s + rb);
        }
        pos = rb;
    }
}

} // namespace

namespace {

// Lower case by code page 1252 with tabs as spaces: the scan copy of one character.
struct ScanTable {
    char scan[256];
    bool special[256]; // characters the lexer acts on
    ScanTable() {
        for (int c = 0; c < 256; ++c) {
            const char lower = LowerChar(static_cast<char>(c));
            scan[c] = lower == '\t' ? ' ' : lower;
            special[c] = c == '\n' || c == '\r' || c == '/' || c == '*' || c == ';' || c == '"';
        }
    }
};

const ScanTable& Table() {
    static const ScanTable table;
    return table;
}

} // namespace

void PrepareJssText(JssText& jss, std::string_view tag) {
    jss.Commit();
    jss.shift_ = 0;
    // The walk reads the loaded text and writes the working text (without its CRs, with the
    // appended LF) and the scan copy side by side, so each byte is moved once. The working
    // text is written in place: dropping CRs only moves bytes back, and every byte is read
    // before its place is written. Only the appended LF may need one more byte.
    std::string& text = jss.text_;
    std::string& scan = jss.scan_;
    const size_t m = text.size();
    text.reserve(m + 1);
    text.push_back('\n');
    scan.resize(m + 1);
    // A byte search over the text, not a string copy.
    // NOLINTNEXTLINE(bugprone-not-null-terminated-result)
    const bool fileHasMarks = std::memchr(text.data(), kDeletionMark, m) != nullptr;
    bool anyDeletion = fileHasMarks;

    unsigned char lower[256];
    bool special[256];
    for (int c = 0; c < 256; ++c) {
        lower[c] = static_cast<unsigned char>(Table().scan[c]);
        special[c] = Table().special[c];
    }
    unsigned char* outText = reinterpret_cast<unsigned char*>(text.data());
    const unsigned char* in = outText;
    unsigned char* out = reinterpret_cast<unsigned char*>(scan.data());
    const unsigned char mark = static_cast<unsigned char>(kDeletionMark);
    // The input index of the next character once CRs are dropped; m stands for the
    // appended LF.
    auto nextIndex = [&](size_t k) {
        ++k;
        while (k < m && in[k] == '\r') {
            ++k;
        }
        return k;
    };
    auto charAt = [&](size_t k) -> unsigned char { return k < m ? in[k] : '\n'; };

    // Three lexer states (in string, in block comment, in line comment); every character
    // seen while one is on is blanked in the scan copy, except the quote that opens a
    // string. Runs of characters the lexer does not act on are only copied.
    bool inString = false;
    bool inBlock = false;
    bool inLine = false;
    size_t lineStart = 0;
    size_t commentStart = 0;
    std::string comment;
    size_t o = 0; // output offset
    size_t k = 0; // input offset
    while (k <= m) {
        if (k < m && !special[in[k]]) {
            const size_t runStart = k;
            const size_t outStart = o;
            if (!inString && !inBlock && !inLine) {
                while (k < m && !special[in[k]]) {
                    outText[o] = in[k];
                    out[o] = lower[in[k]];
                    ++o;
                    ++k;
                }
            } else {
                while (k < m && !special[in[k]]) {
                    ++k;
                }
                const size_t len = k - runStart;
                std::memmove(outText + outStart, in + runStart, len);
                // A deletion mark of the file stays in the scan copy, blanked or not, since
                // both copies must lose the same bytes at the end.
                if (!fileHasMarks) {
                    std::memset(out + outStart, ' ', len);
                } else {
                    for (size_t q = 0; q < len; ++q) {
                        out[outStart + q] = in[runStart + q] == mark ? mark : ' ';
                    }
                }
                o += len;
            }
            continue;
        }
        const unsigned char c = charAt(k);
        if (c == '\r') {
            ++k;
            continue;
        }
        const size_t i = o;
        outText[i] = c;
        out[i] = c;
        bool opensString = false;
        switch (c) {
        case '\n':
            if (inLine) {
                anyDeletion |= RemoveMarkers(text, scan, lineStart, commentStart, i, tag, comment);
            }
            lineStart = i + 1;
            inString = false;
            inLine = false;
            break;
        case '/':
            if (!inString && charAt(nextIndex(k)) == '*') {
                inBlock = true;
            }
            break;
        case '*':
            if (const size_t q = nextIndex(k); charAt(q) == '/') {
                // Both become spaces; the "/" then has nothing left to act on.
                inBlock = false;
                out[i] = ' ';
                outText[i + 1] = '/';
                out[i + 1] = ' ';
                o += 2;
                k = q + 1;
                continue;
            }
            break;
        case ';':
            if (!inString && !inBlock && !inLine) {
                inLine = true;
                commentStart = i + 1;
            }
            break;
        default: // '"'
            if (!inBlock && !inLine) {
                inString = !inString;
                opensString = inString;
            }
            break;
        }
        if ((inString || inBlock || inLine) && !opensString && out[i] != mark) {
            out[i] = ' ';
        }
        ++o;
        ++k;
    }
    const size_t n = o;

    // One removal of every marked byte, deciding by the working text so that both copies
    // stay aligned.
    if (anyDeletion) {
        size_t w = 0;
        for (size_t r = 0; r < n; ++r) {
            if (text[r] != kDeletionMark) {
                text[w] = text[r];
                scan[w] = scan[r];
                ++w;
            }
        }
        o = w;
    }
    text.resize(o);
    scan.resize(o);
}

// ---- recognition rules -----------------------------------------------------------------

namespace {

// The character before offset p once leading spaces are removed; 0 when nothing is left.
char CharBefore(std::string_view line, size_t p) {
    size_t f = 0;
    while (f < p && line[f] == ' ') {
        ++f;
    }
    return f == p ? '\0' : line[p - 1];
}

// Where the insertion goes for a keyword at p: before the keyword after a space, ")" or a
// double quote, at the line start when nothing precedes it; not a statement otherwise.
KeywordMatch InsertionBefore(std::string_view line, size_t p) {
    const char b = CharBefore(line, p);
    if (b == '\0') {
        return {true, 0};
    }
    if (b == ' ' || b == ')' || b == '"') {
        return {true, p};
    }
    return {};
}

} // namespace

KeywordMatch FindReturn(std::string_view line) {
    const size_t p = line.find("return");
    if (p == std::string_view::npos) {
        return {};
    }
    KeywordMatch m = InsertionBefore(line, p);
    if (!m.found) {
        return {};
    }
    const size_t a = p + 6;
    if (a < line.size() && line[a] != ' ' && line[a] != '(' && line[a] != '"') {
        return {};
    }
    return m;
}

KeywordMatch FindBlockEnd(std::string_view line, std::string_view keyword) {
    const size_t p = line.find(keyword);
    if (p == std::string_view::npos) {
        return {};
    }
    return InsertionBefore(line, p);
}

bool IsReturnTypeLine(std::string_view t) {
    return t == "int" || t == "handle" || t == "object" || t == "string" || t == "void";
}

HeaderMatch FindBlockHeader(std::string_view line, std::string_view keyword) {
    const size_t p = line.find(keyword);
    if (p == std::string_view::npos) {
        return {};
    }
    const std::string_view before = TrimView(line.substr(0, p));
    const size_t a = p + keyword.size();
    const bool afterEmpty = a >= line.size() || line[a] == ' ';
    if (!afterEmpty) {
        return {};
    }
    const bool isFunction = keyword == "function";
    if (!before.empty() && !(isFunction && IsReturnTypeLine(before))) {
        return {};
    }
    const size_t lp = line.find('(', p);
    const size_t rp = lp == std::string_view::npos ? lp : line.find(')', lp);
    if (rp == std::string_view::npos) {
        return {HeaderKind::Incomplete, {}};
    }
    return {HeaderKind::Complete, std::string(TrimView(line.substr(a, lp - a)))};
}

} // namespace vuni
