#include <gtest/gtest.h>

#include "log/log.h"

namespace vuni {
namespace {

TEST(Log, KeepsTheLast1001LinesAfter1500) {
    MemoryLineSink install;
    MemoryLineSink progress;
    Log log(install, progress);
    for (int i = 0; i < 1500; ++i) {
        log.LogLine("line " + std::to_string(i));
    }
    ASSERT_EQ(install.LineCount(), 1001u);
    EXPECT_EQ(install.Lines().front(), "line 499");
    EXPECT_EQ(install.Lines().back(), "line 1499");
    EXPECT_EQ(progress.LineCount(), 0u);
}

TEST(Log, ProgressHasNoLimitAndLinesAreTakenAsGiven) {
    MemoryLineSink install;
    MemoryLineSink progress;
    Log log(install, progress);
    for (int i = 0; i < 1500; ++i) {
        log.ProgressLine("");
    }
    log.ProgressLine("! a\nb");
    EXPECT_EQ(progress.LineCount(), 1501u);
    EXPECT_EQ(progress.Lines().back(), "! a\nb");
    log.ClearProgress();
    EXPECT_EQ(progress.LineCount(), 0u);
}

} // namespace
} // namespace vuni
