#include "jaws/processes.h"
#include "machine_fixture.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vuni {
namespace {

// A machine whose snapshots are counted.
class CountingHost : public SimHost {
public:
    using SimHost::SimHost;
    std::optional<std::vector<ProcessEntry>> ProcessSnapshot() override {
        ++snapshots;
        return failSnapshot ? std::nullopt : SimHost::ProcessSnapshot();
    }
    int snapshots = 0;
    bool failSnapshot = false;
};

class Processes : public ::testing::Test {
protected:
    void SetUp() override {
        host.AddProcess(4, "System");
        host.AddProcess(100, "C:\\Tools\\xjfw.exe");
        host.AddProcess(200, "C:\\Program Files\\Freedom Scientific\\JAWS\\11.0\\jfw.exe");
        host.AddProcess(300, "C:\\Program Files\\Freedom Scientific\\JAWS\\10.0\\JFW.EXE");
        host.AddProcess(400, "C:\\Program Files\\Freedom Scientific\\JAWS\\11.0\\JSCRIPT.EXE");
    }
    testing::TempDir dir;
    CountingHost host{dir.Path()};
    ProcessList list;
};

TEST_F(Processes, SnapshotListsLowerCaseFileNamesInOrder) {
    EXPECT_EQ(list.SnapshotProcesses(host), 5);
    ASSERT_EQ(list.Entries().size(), 5u);
    EXPECT_EQ(list.Entries()[0].name, "system");
    EXPECT_EQ(list.Entries()[3].name, "jfw.exe");
    EXPECT_EQ(list.Entries()[4].id, 400u);
    EXPECT_EQ(list.Entries()[4].name, "jscript.exe");

    host.failSnapshot = true;
    EXPECT_EQ(list.SnapshotProcesses(host), 0) << "the old list is not kept";
    host.failSnapshot = false;
    host.SetWindowsVersionClass(40); // Windows Me: no snapshot is taken
    EXPECT_EQ(list.SnapshotProcesses(host), 0);
    EXPECT_EQ(host.snapshots, 2);
}

TEST_F(Processes, FindProcessComparesWholeNamesFirstMatchWins) {
    EXPECT_EQ(list.FindProcess(host, "jfw.exe"), 200u) << "not xjfw.exe, and 200 before 300";
    EXPECT_EQ(list.FindProcess(host, "JScript.exe"), 400u);
    EXPECT_EQ(list.FindProcess(host, "  {JFW.EXE}  "), 200u);
    EXPECT_EQ(list.FindProcess(host, "{jscript.exe}{jfw.exe}"), 200u)
        << "snapshot order decides, not the order of the names";
    EXPECT_EQ(list.FindProcess(host, "{nothing.exe}{jscript.exe}"), 400u);
    EXPECT_EQ(list.FindProcess(host, "{jfw.exe"), 200u) << "a missing brace is added";
    EXPECT_EQ(list.FindProcess(host, "fw.exe"), 0u);
    EXPECT_EQ(list.FindProcess(host, "jfw"), 0u);
    EXPECT_EQ(list.Entries().size(), 5u) << "the last snapshot stays for the program";
}

TEST_F(Processes, FindProcessWithNoNameTakesNoSnapshot) {
    EXPECT_EQ(list.FindProcess(host, ""), 0u);
    EXPECT_EQ(list.FindProcess(host, "   "), 0u);
    EXPECT_EQ(host.snapshots, 0);
}

TEST_F(Processes, ProcessFolderIsTheFolderOfTheImage) {
    EXPECT_EQ(ProcessFolder(host, 200), "C:\\Program Files\\Freedom Scientific\\JAWS\\11.0\\");
    EXPECT_EQ(ProcessFolder(host, 0), "");
    EXPECT_EQ(ProcessFolder(host, 4), "") << "cannot be opened";
    EXPECT_EQ(ProcessFolder(host, 999), "") << "ended since the snapshot";
    host.SetWindowsVersionClass(20); // NT 4: neither function exists
    EXPECT_EQ(ProcessFolder(host, 200), "");
    host.SetWindowsVersionClass(60);
    EXPECT_EQ(ProcessFolder(host, 200), "C:\\Program Files\\Freedom Scientific\\JAWS\\11.0\\");
}

TEST(ProcessesOnAMachine, TheRunningJawsOfADescribedMachine) {
    testing::LoadedMachine m("jaws11-10");
    ProcessList list;
    const uint32_t id = list.FindProcess(m.host, "jfw.exe");
    EXPECT_EQ(id, 3120u);
    EXPECT_EQ(ProcessFolder(m.host, id), "C:\\Program Files\\Freedom Scientific\\JAWS\\10.0\\");
    EXPECT_EQ(list.FindProcess(m.host, "JScript.exe"), 0u);
}

} // namespace
} // namespace vuni

namespace vuni {
namespace {

TEST(ProcessesOnAMachine, AStartedStandInIsFoundWithItsWindowsFolder) {
    testing::TempDir dir;
    SimHost host(dir.Path());
    std::string error;
    ASSERT_TRUE(LoadMachine(host, testing::MachineDir("jaws11"), error, VUNI_STANDIN_DIR)) << error;
    host.RemoveProcess(2044); // the described jfw.exe: a real one runs instead
    const std::string program = "C:\\Program Files\\Freedom Scientific\\JAWS\\11.0\\jfw.exe";
    const std::string hostProgram = host.ToHostPath(program).string();
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        execl(hostProgram.c_str(), hostProgram.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    host.AddStartedProcess(static_cast<uint32_t>(pid), program);
    ProcessList list;
    EXPECT_EQ(list.FindProcess(host, "jfw.exe"), static_cast<uint32_t>(pid));
    EXPECT_EQ(ProcessFolder(host, static_cast<uint32_t>(pid)),
              "C:\\Program Files\\Freedom Scientific\\JAWS\\11.0\\");
    ::kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    EXPECT_EQ(list.FindProcess(host, "jfw.exe"), 0u) << "ended";
}

} // namespace
} // namespace vuni
