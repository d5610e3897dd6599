#include "line_diff.h"
#include "merge_command.h"
#include "testing/shared_dir.h"
#include "testing/temp_dir.h"
#include "text/text.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

class MergeCommand : public ::testing::Test {
protected:
    std::string P(const std::string& name) { return (dir.Path() / name).string(); }
    void Write(const std::string& name, const std::string& bytes) {
        testing::WriteHostFile(dir.Path() / name, bytes);
    }
    int Run(std::vector<std::string> args) {
        ::testing::internal::CaptureStderr();
        const int code = RunMergeCommand(args);
        err = ::testing::internal::GetCapturedStderr();
        return code;
    }
    testing::TempDir dir;
    std::string err;
};

TEST_F(MergeCommand, MergesThenRemoves) {
    // Arguments arrive in UTF-8 on Linux; the texts they give are Windows-1252.
    const std::string accented = Cp1252ToUtf8("C:\\S\\Éa.vunimerge.jss");
    Write("Default.jss", "Script SayLine ()\r\nEndScript\r\n");
    Write("a.jss", ";merge_addendscript SayLine A ()\r\n");
    Write("b.jss", ";merge_tag B\r\n;merge_addendscript SayLine B ()\r\n");
    ASSERT_EQ(
        Run({"--default", P("Default.jss"), "--merge-file", P("a.jss"), "--as", accented,
             "--merge-file", P("b.jss"), "--as", "C:\\S\\b.vunimerge.jss", "-o", P("out.jss")}),
        0)
        << err;
    const std::string merged = testing::ReadHostFile(dir.Path() / "out.jss");
    EXPECT_EQ(merged, "Include \"Éa.vunimerge.jss\" ; [ Vuni-C:\\S\\Éa ]\r\n"
                      "Include \"b.vunimerge.jss\" ; [ Vuni-B ]\r\nScript SayLine ()\r\n"
                      "A () ; [ Vuni-C:\\S\\Éa ]\r\nB () ; [ Vuni-B ]\r\nEndScript\r\n\r\n");
    ASSERT_EQ(Run({"--remove", "--default", P("out.jss"), "--merge-file", P("a.jss"), "--as",
                   accented, "--merge-file", P("b.jss"), "--as", "x", "-o", P("back.jss")}),
              0);
    // The second file's tag comes from its own merge_tag line, whatever --as says.
    EXPECT_EQ(testing::ReadHostFile(dir.Path() / "back.jss"),
              "Script SayLine ()\r\nEndScript\r\n\r\n\r\n");
}

TEST(UnifiedDiff, HunksWithTheirContextAndLineEndsAside) {
    const std::string before = "a\nb\nc\nd\ne\nf\ng\nh\ni\nj\n";
    const std::string after = "a\r\nB\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh\r\ni\r\nX\r\nj\r\n";
    EXPECT_EQ(pack::UnifiedDiff(before, after, "A", "B", 1),
              "--- A\n+++ B\n@@ -1,3 +1,3 @@\n a\n-b\n+B\n c\n@@ -9,2 +9,3 @@\n i\n+X\n j\n");
    EXPECT_EQ(pack::UnifiedDiff(before, "A\n" + before.substr(2), "A", "B", 1),
              "--- A\n+++ B\n@@ -1,2 +1,2 @@\n-a\n+A\n b\n");
    EXPECT_EQ(pack::UnifiedDiff(before, before + "k", "A", "B", 0),
              "--- A\n+++ B\n@@ -10,0 +11,1 @@\n+k\n");
    EXPECT_EQ(pack::UnifiedDiff(before, std::string("a\r\nb\rc\nd\ne\nf\ng\nh\ni\nj"), "A", "B"),
              "");
}

TEST_F(MergeCommand, DiffShowsWhatTheMergeAddsWithoutWriting) {
    Write("Default.jss", "Script SayLine ()\r\nEndScript\r\n");
    Write("a.jss", ";merge_addendscript SayLine A ()\r\n");
    ::testing::internal::CaptureStdout();
    const int code = Run({"--default", P("Default.jss"), "--merge-file", P("a.jss"), "--as",
                          "C:\\S\\a.vunimerge.jss", "--diff"});
    const std::string out = ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(code, 0) << err;
    EXPECT_NE(out.find("+Include \"a.vunimerge.jss\" ; [ Vuni-C:\\S\\a ]\n"), std::string::npos)
        << out;
    EXPECT_NE(out.find(" Script SayLine ()\n+A () ; [ Vuni-C:\\S\\a ]\n EndScript\n"),
              std::string::npos)
        << out;
}

TEST_F(MergeCommand, ConflictIsReportedAndNothingWritten) {
    Write("Default.jss", "Script S (); [ VuniComment-Other ]\r\n; [ VuniComment-Other ] x\r\n"
                         "EndScript\r\n");
    Write("r.jss", ";merge_replacescript S R ()\r\n");
    EXPECT_EQ(Run({"--default", P("Default.jss"), "--merge-file", P("r.jss"), "--as",
                   "C:\\r.vunimerge.jss", "-o", P("out.jss")}),
              3);
    EXPECT_EQ(err, "Le script \"s\" est d\xC3\xA9ja utilis\xC3\xA9 par other\n");
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "out.jss"));
}

TEST_F(MergeCommand, UsageAndInputErrors) {
    Write("d.jss", "x\r\n");
    Write("m.jss", "");
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_EQ(Run({}), 2);
    EXPECT_EQ(Run({"--default", P("d.jss"), "-o", P("o")}), 2);
    EXPECT_EQ(Run({"--default", P("d.jss"), "--merge-file", P("m.jss"), "-o", P("o")}), 2);
    EXPECT_EQ(Run({"--default", P("d.jss"), "--as", "x", "--merge-file", P("m.jss"), "-o", P("o")}),
              2);
    EXPECT_EQ(Run({"--default", P("d.jss"), "--merge-file", P("m.jss"), "--as", "x"}), 2);
    EXPECT_EQ(Run({"--bogus"}), 2);
    EXPECT_EQ(Run({"--default"}), 2);
    EXPECT_EQ(
        Run({"--default", P("none.jss"), "--merge-file", P("m.jss"), "--as", "x", "-o", P("o")}),
        1);
    EXPECT_EQ(
        Run({"--default", P("d.jss"), "--merge-file", P("none.jss"), "--as", "x", "-o", P("o")}),
        1);
    EXPECT_EQ(Run({"--default", P("d.jss"), "--merge-file", P("m.jss"), "--as", "x", "-o",
                   P("no/such/dir/o")}),
              1);
    // An empty merge file adds nothing, not even its include.
    EXPECT_EQ(Run({"--default", P("d.jss"), "--merge-file", P("m.jss"), "--as", "x", "-o", P("o")}),
              0);
    EXPECT_EQ(testing::ReadHostFile(dir.Path() / "o"), "x\r\n");
}

} // namespace
} // namespace vuni
