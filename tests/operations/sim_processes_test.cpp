#include "ops_world.h"
#include "testing/shared_dir.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

class SimProcesses : public ::testing::Test {
protected:
    void SetUp() override { w.PlaceProgram(program); }
    ProcessRun Start(const std::string& commandLine, const std::string& folder = "C:\\Work\\") {
        return w.host.StartProcess(program, commandLine, folder, true);
    }
    testing::OpsWorld w;
    const std::string program = "C:\\Tools\\Prog.exe";
};

TEST_F(SimProcesses, ArgumentsFollowTheWindowsRulesAndPathsBecomeSandboxPaths) {
    std::filesystem::create_directories(w.Host("C:\\Work"));
    ProcessRun run = Start("\"C:\\Tools\\Prog.exe\" \"C:\\Dossier Un\\a.jss\" plain "
                           "a\\\\\\\"b \"x\"\"y\" c\\d\\ \"tail\\\\\"");
    ASSERT_NE(run.id, 0u);
    ASSERT_TRUE(w.host.WaitProcess(run, 10000));
    EXPECT_EQ(w.host.ProcessExitCode(run), 0u);
    w.host.ReleaseProcess(run);
    EXPECT_EQ(run.handle, 0u);
    ASSERT_EQ(w.Runs().size(), 1u);
    EXPECT_EQ(w.Runs()[0], "Prog.exe|" + w.Host("C:\\Work").string() + "|" +
                               (w.dir.Path() / "c" / "Dossier Un" / "a.jss").string() +
                               "|plain|a\\\"b|x\"y|c\\d\\|tail\\");
}

TEST_F(SimProcesses, WithoutAWorkingFolderTheChildStartsInTheCurrentFolder) {
    std::filesystem::create_directories(w.Host("C:\\Users\\alice"));
    w.host.SetCurrentFolder("C:\\Users\\alice");
    ProcessRun run = Start("Prog", "");
    ASSERT_NE(run.id, 0u);
    ASSERT_TRUE(w.host.WaitProcess(run, 10000));
    w.host.ReleaseProcess(run);
    ASSERT_EQ(w.Runs().size(), 1u);
    EXPECT_EQ(w.Runs()[0], "Prog.exe|" + w.Host("C:\\Users\\alice").string());
}

TEST_F(SimProcesses, ExitCodesWaitsAndTheRunningList) {
    std::filesystem::create_directories(w.Host("C:\\Work"));
    w.Put("C:\\Work\\slow.txt", "sleep=400 exit=5");
    ProcessRun run = Start("Prog C:\\Work\\slow.txt");
    ASSERT_NE(run.id, 0u);
    EXPECT_EQ(w.host.ProcessExitCode(run), kStillActive);
    EXPECT_FALSE(w.host.WaitProcess(run, 20));
    ASSERT_EQ(w.host.StartedProcesses().size(), 1u);
    EXPECT_EQ(w.host.StartedProcesses()[0].id, run.id);
    EXPECT_EQ(w.host.StartedProcesses()[0].exeFile, program);
    EXPECT_TRUE(w.host.WaitProcess(run, 10000));
    EXPECT_EQ(w.host.ProcessExitCode(run), 5u);
    EXPECT_TRUE(w.host.StartedProcesses().empty());
    w.host.ReleaseProcess(run);
}

TEST_F(SimProcesses, NothingStartsWithoutAProgramOrAWorkingFolder) {
    EXPECT_EQ(w.host.StartProcess("C:\\Tools\\Missing.exe", "x", "", true).id, 0u);
    w.Put("C:\\Tools\\Text.exe", "not a program");
    EXPECT_EQ(w.host.StartProcess("C:\\Tools\\Text.exe", "x", "", true).id, 0u);
    EXPECT_EQ(Start("Prog", "C:\\No Such Folder\\").id, 0u);
    EXPECT_TRUE(w.host.StartedProcesses().empty());
    EXPECT_TRUE(w.Runs().empty());
    ProcessRun none;
    EXPECT_FALSE(w.host.WaitProcess(none, 10));
    EXPECT_EQ(w.host.ProcessExitCode(none), kStillActive);
}

TEST_F(SimProcesses, TheLibraryIsLoadedFromItsSandboxPath) {
    EXPECT_EQ(w.host.CallLibraryFunction("C:\\Tools\\Api.dll", "JFWRunFunction", "x").status,
              LibraryCallStatus::NoLibrary);
    w.PlaceLibrary("C:\\Tools\\Api.dll");
    const LibraryCallResult r =
        w.host.CallLibraryFunction("c:\\tools\\API.DLL", "JFWRunFunction", "ReloadAllConfigs()");
    EXPECT_EQ(r.status, LibraryCallStatus::Called);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(testing::ReadHostFile(w.dir.Path() / "api.log"), "ReloadAllConfigs()\n");
}

} // namespace
} // namespace vuni
