#include "wizard/win32/edit_line_sink.h"

namespace vuni {
namespace {

void ReplaceSelection(HWND box, LRESULT from, LRESULT to, const char* text) {
    SendMessageA(box, EM_SETSEL, static_cast<WPARAM>(from), to);
    SendMessageA(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}

} // namespace

void EditLineSink::Attach(HWND box) {
    box_ = box;
    lines_.clear();
    shown_ = 0;
    stale_ = 0;
}

void EditLineSink::RemoveFirstLine() {
    if (lines_.empty()) {
        return;
    }
    lines_.pop_front();
    if (stale_ < shown_) {
        ++stale_;
    }
}

void EditLineSink::AppendLine(const std::string& line) {
    if (box_ == nullptr) {
        return;
    }
    // The box breaks lines at "\r\n" only: a line holding one is two lines there.
    size_t start = 0;
    for (size_t at = line.find("\r\n"); at != std::string::npos; at = line.find("\r\n", start)) {
        lines_.push_back(line.substr(start, at - start));
        start = at + 2;
    }
    lines_.push_back(line.substr(start));
}

void EditLineSink::Clear() {
    lines_.clear();
    shown_ = 0;
    stale_ = 0;
    if (box_ != nullptr) {
        SetWindowTextA(box_, "");
    }
}

void EditLineSink::Flush() {
    const size_t current = shown_ - stale_; // lines of the box that are still kept
    if (box_ == nullptr || (stale_ == 0 && lines_.size() == current)) {
        return;
    }
    std::string added;
    for (size_t i = stale_ == shown_ ? 0 : current; i < lines_.size(); ++i) {
        added += lines_[i];
        added += "\r\n";
    }
    if (stale_ == shown_) {
        // Nothing the box shows is kept: its whole text goes in one change.
        SetWindowTextA(box_, "");
    } else if (stale_ > 0) {
        const LRESULT kept = SendMessageA(box_, EM_LINEINDEX, stale_, 0);
        ReplaceSelection(box_, 0, kept, "");
    }
    if (!added.empty()) {
        const int end = GetWindowTextLengthA(box_);
        ReplaceSelection(box_, end, end, added.c_str());
    }
    shown_ = lines_.size();
    stale_ = 0;
}

void EditLineSink::FlushIfVisible() {
    if (box_ != nullptr && IsWindowVisible(box_)) {
        Flush();
    }
}

} // namespace vuni
