// A multi-line edit box seen as a sequence of lines (the log box, the progress box).
//
// Every line is stored followed by "\r\n", so the box's line count is one more than the
// number of lines held, and an empty box holds none. The box must not wrap lines, or the
// count would follow the display instead of the text.
//
// The lines are kept here and handed to the box only by Flush: an edit box lays out its
// whole text again on every change, so a start-up that logs thousands of lines, or a step
// that reports each of thousands of files, would spend most of its time there, while nobody
// sees the box (it is hidden, or the window is not repainted until the step ends). Flush
// makes at most two changes (the oldest lines out, the new ones in), leaving the box's text,
// caret and scroll position as line-by-line changes would have left them.
#pragma once

#include "log/log.h"

#include <deque>
#include <string>
#include <windows.h>

namespace vuni {

class EditLineSink : public LineSink {
public:
    explicit EditLineSink(HWND box = nullptr) : box_(box) {}
    // A new box starts empty: the lines kept for the previous one are dropped.
    void Attach(HWND box);

    size_t LineCount() const override { return lines_.size(); }
    void RemoveFirstLine() override;
    void AppendLine(const std::string& line) override;
    void Clear() override;

    // Brings the box up to date with the lines kept.
    void Flush();
    // Flush, when the box can be seen: a hidden box waits until it is shown.
    void FlushIfVisible();

private:
    HWND box_;
    std::deque<std::string> lines_;
    // The box shows shown_ lines, of which the first stale_ were removed since; the lines
    // kept after the box's remaining ones are not in the box yet.
    size_t shown_ = 0;
    size_t stale_ = 0;
};

} // namespace vuni
