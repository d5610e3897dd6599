// The technical log (InstallLog, the log box) and the operations progress box.
//
// Both are sequences of lines kept by a LineSink: the window's boxes implement it, and so
// does MemoryLineSink for tests and tools. Neither output adds anything to a line.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

namespace vuni {

class LineSink {
public:
    virtual ~LineSink() = default;
    virtual size_t LineCount() const = 0;
    virtual void RemoveFirstLine() = 0;
    virtual void AppendLine(const std::string& line) = 0;
    virtual void Clear() = 0;
};

class MemoryLineSink : public LineSink {
public:
    size_t LineCount() const override { return lines_.size(); }
    void RemoveFirstLine() override;
    void AppendLine(const std::string& line) override { lines_.push_back(line); }
    void Clear() override { lines_.clear(); }

    const std::deque<std::string>& Lines() const { return lines_; }
    // All lines joined, each followed by "\n": convenient for assertions.
    std::string Text() const;

private:
    std::deque<std::string> lines_;
};

// The log keeps at most this many lines plus the one being appended.
constexpr size_t kLogLineLimit = 1000;

class Log {
public:
    Log(LineSink& installLog, LineSink& progress) : installLog_(installLog), progress_(progress) {}

    // Appends to InstallLog; when more than 1000 lines are present the oldest goes first.
    void LogLine(const std::string& text);
    // Appends to the operations progress box, which has no limit.
    void ProgressLine(const std::string& text);
    void ClearProgress() { progress_.Clear(); }

    LineSink& InstallLog() { return installLog_; }
    LineSink& Progress() { return progress_; }

private:
    LineSink& installLog_;
    LineSink& progress_;
};

} // namespace vuni
