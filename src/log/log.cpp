#include "log/log.h"

namespace vuni {

void MemoryLineSink::RemoveFirstLine() {
    if (!lines_.empty()) {
        lines_.pop_front();
    }
}

std::string MemoryLineSink::Text() const {
    std::string out;
    for (const std::string& line : lines_) {
        out += line;
        out += '\n';
    }
    return out;
}

void Log::LogLine(const std::string& text) {
    if (installLog_.LineCount() > kLogLineLimit) {
        installLog_.RemoveFirstLine();
    }
    installLog_.AppendLine(text);
}

void Log::ProgressLine(const std::string& text) { progress_.AppendLine(text); }

} // namespace vuni
