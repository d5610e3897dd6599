#include "wizard/win32/edit_line_sink.h"

namespace vuni {

size_t EditLineSink::LineCount() const {
    if (box_ == nullptr) {
        return 0;
    }
    const LRESULT lines = SendMessageA(box_, EM_GETLINECOUNT, 0, 0);
    return lines > 1 ? static_cast<size_t>(lines - 1) : 0;
}

void EditLineSink::RemoveFirstLine() {
    if (LineCount() == 0) {
        return;
    }
    const LRESULT second = SendMessageA(box_, EM_LINEINDEX, 1, 0);
    if (second <= 0) {
        return;
    }
    SendMessageA(box_, EM_SETSEL, 0, second);
    SendMessageA(box_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
}

void EditLineSink::AppendLine(const std::string& line) {
    if (box_ == nullptr) {
        return;
    }
    const std::string text = line + "\r\n";
    const int end = GetWindowTextLengthA(box_);
    SendMessageA(box_, EM_SETSEL, end, end);
    SendMessageA(box_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void EditLineSink::Clear() {
    if (box_ != nullptr) {
        SetWindowTextA(box_, "");
    }
}

} // namespace vuni
