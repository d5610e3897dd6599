#include "script_balance.h"

#include <gtest/gtest.h>

namespace vuni::standin {
namespace {

TEST(BlocksBalance, ScriptsAndFunctionsWithTypesCommentsAndCase) {
    EXPECT_TRUE(BlocksBalance(""));
    EXPECT_TRUE(BlocksBalance("Include \"hjconst.jsh\"\n"));
    EXPECT_TRUE(BlocksBalance("Script A ()\r\n\tSayString (\"x\")\r\nEndScript\r\n"
                              "Void Function B (int i)\r\nEndFunction\r\n"
                              "function C ()\r\nendfunction"));
    EXPECT_TRUE(BlocksBalance("SCRIPT A ()\nENDSCRIPT\n"));
    EXPECT_TRUE(BlocksBalance("Script A () ; EndScript in a comment does not close\nEndScript\n"));
    EXPECT_TRUE(BlocksBalance("Script A ()\n SayString (\"; EndScript\")\nEndScript\n"));
    EXPECT_TRUE(BlocksBalance("Script A ()\n ScriptFileName ()\n PerformScript B ()\nEndScript\n"))
        << "only whole keywords count, and only at the start";
    EXPECT_TRUE(BlocksBalance("; Script commented out\n"));
}

TEST(BlocksBalance, RefusesMissingWrongOrNestedEnds) {
    EXPECT_FALSE(BlocksBalance("Script A ()\n"));
    EXPECT_FALSE(BlocksBalance("EndScript\n"));
    EXPECT_FALSE(BlocksBalance("Script A ()\nEndFunction\n"));
    EXPECT_FALSE(BlocksBalance("Int Function A ()\nEndScript\n"));
    EXPECT_FALSE(BlocksBalance("Script A ()\nScript B ()\nEndScript\nEndScript\n"));
    EXPECT_FALSE(BlocksBalance("Script A ()\nEndScript\nEndScript\n"));
    EXPECT_FALSE(BlocksBalance("Script A ()\n; EndScript\n"));
}

} // namespace
} // namespace vuni::standin
