// A multi-line edit box seen as a sequence of lines (the log box, the progress box).
//
// Every line is stored followed by "\r\n", so the box's line count is one more than the
// number of lines held, and an empty box holds none. The box must not wrap lines, or the
// count would follow the display instead of the text.
#pragma once

#include "log/log.h"

#include <windows.h>

namespace vuni {

class EditLineSink : public LineSink {
public:
    explicit EditLineSink(HWND box = nullptr) : box_(box) {}
    void Attach(HWND box) { box_ = box; }

    size_t LineCount() const override;
    void RemoveFirstLine() override;
    void AppendLine(const std::string& line) override;
    void Clear() override;

private:
    HWND box_;
};

} // namespace vuni
