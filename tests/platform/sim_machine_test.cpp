#include "platform/sim/sim_machine.h"
#include "testing/shared_dir.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vuni {
namespace {

std::filesystem::path Machine(const char* name) {
    return testing::SourceDir() / "tests" / "machines" / name;
}

TEST(SimMachine, LoadsTheRegistryTheTreeAndTheMachineFacts) {
    testing::TempDir dir;
    SimHost host(dir.Path());
    std::string error;
    ASSERT_TRUE(LoadMachine(host, Machine("jaws11"), error)) << error;
    EXPECT_EQ(host.SpecialFolder(26), "C:\\Users\\alice\\AppData\\Roaming");
    EXPECT_EQ(host.SpecialFolder(35), "C:\\ProgramData");
    EXPECT_EQ(host.SpecialFolder(7), "") << "a folder the machine does not describe";
    EXPECT_EQ(host.WindowsVersionClass(), 80);
    EXPECT_TRUE(host.IsWindows64());
    EXPECT_EQ(host.CurrentFolder(), "C:\\Users\\alice\\Downloads");
    EXPECT_EQ(host.OwnProgramPath(), "C:\\Users\\alice\\Downloads\\vuni.exe");
    EXPECT_TRUE(host.IsFile("C:\\Users\\alice\\AppData\\Roaming\\Freedom Scientific\\JAWS\\11.0"
                            "\\Settings\\fra\\Default.JSS"));
    EXPECT_EQ(host.RegistryReadString(RegistryRoot::CurrentUser, "Control Panel\\International",
                                      "sLanguage", kKeyRead, 1024),
              "FRA");

    // The sandbox is a copy: changing it leaves the description alone.
    ASSERT_TRUE(host.DeleteFile("C:\\Users\\alice\\AppData\\Roaming\\Freedom Scientific\\JAWS"
                                "\\11.0\\Settings\\fra\\Default.JSS"));
    EXPECT_TRUE(std::filesystem::exists(Machine("jaws11") / "drive_c" / "Users" / "alice" /
                                        "AppData" / "Roaming" / "Freedom Scientific" / "JAWS" /
                                        "11.0" / "Settings" / "fra" / "Default.JSS"));

    // Described processes: the snapshot gives file names, the image path the full path.
    auto snapshot = host.ProcessSnapshot();
    ASSERT_TRUE(snapshot.has_value());
    ASSERT_EQ(snapshot->size(), 4u);
    EXPECT_EQ((*snapshot)[0].exeFile, "System");
    EXPECT_EQ((*snapshot)[3].id, 2044u);
    EXPECT_EQ((*snapshot)[3].exeFile, "jfw.exe");
    EXPECT_EQ(host.ProcessImagePath(2044, 80),
              "C:\\Program Files\\Freedom Scientific\\JAWS\\11.0\\jfw.exe");
    EXPECT_EQ(host.ProcessImagePath(4, 80), "") << "a process that cannot be opened";
    EXPECT_EQ(host.ProcessImagePath(2044, 40), "") << "no such function before Windows 2000";
    EXPECT_EQ(host.ProcessImagePath(9999, 80), "");
}

TEST(SimMachine, RefusesBrokenDescriptions) {
    MachineDescription d;
    std::string error;
    EXPECT_FALSE(ParseMachineDescription("[machine]\nversionClass=eighty\n", d, error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_FALSE(ParseMachineDescription("[processes]\nx=C:\\a.exe\n", d, error));
    EXPECT_FALSE(ParseMachineDescription("[machine]\nnonsense\n", d, error));
    EXPECT_FALSE(ParseMachineDescription("[machine]\ncolour=blue\n", d, error));
    EXPECT_FALSE(ParseMachineDescription("versionClass=80\n", d, error)) << "outside a section";

    testing::TempDir dir;
    SimHost host(dir.Path());
    EXPECT_FALSE(LoadMachine(host, dir.Path() / "nowhere", error));
    testing::WriteHostFile(dir.Path() / "bad" / "registry.reg", "not a registry file");
    EXPECT_FALSE(LoadMachine(host, dir.Path() / "bad", error));
    EXPECT_NE(error.find("registry.reg"), std::string::npos);
}

TEST(SimMachine, StandInsAreCopiedWhereTheMachineWantsThem) {
    testing::TempDir dir;
    testing::WriteHostFile(dir.Path() / "standins" / "jfw", "elf");
    testing::WriteHostFile(dir.Path() / "standins" / "JfwAPI.so", "so");
    testing::WriteHostFile(dir.Path() / "m" / "machine.ini",
                           "[standins]\nC:\\J\\jfw.exe=jfw\nC:\\J\\JfwAPI.Dll=JfwAPI\n");
    SimHost host(dir.Path() / "sandbox");
    std::string error;
    ASSERT_TRUE(LoadMachine(host, dir.Path() / "m", error, dir.Path() / "standins")) << error;
    EXPECT_EQ(host.FileSize("C:\\J\\jfw.exe"), 3);
    EXPECT_EQ(host.FileSize("C:\\J\\JfwAPI.Dll"), 2);
    testing::WriteHostFile(dir.Path() / "m" / "machine.ini", "[standins]\nC:\\J\\x.exe=missing\n");
    EXPECT_FALSE(LoadMachine(host, dir.Path() / "m", error, dir.Path() / "standins"));
}

class SimRegistryViews : public ::testing::Test {
protected:
    void SetUp() override {
        host.Registry().SetString("HKLM\\SOFTWARE\\Vendor", "Where", "64-bit view");
        host.Registry().SetString("HKLM\\SOFTWARE\\Wow6432Node\\Vendor", "Where", "32-bit view");
        host.Registry().SetString("HKLM\\SOFTWARE\\Vendor", "Long", std::string(1023, 'x'));
        host.Registry().SetString("HKLM\\SOFTWARE\\Vendor", "Empty", "");
        host.Registry().SetBinary("HKLM\\SOFTWARE\\Vendor", "Number", "\x01\0\0\0");
        host.Registry().CreateKey("HKLM\\SOFTWARE\\Vendor\\b");
        host.Registry().CreateKey("HKLM\\SOFTWARE\\Vendor\\A");
    }
    std::optional<std::string> Read(const char* value, uint32_t access, size_t max = 1024) {
        return host.RegistryReadString(RegistryRoot::LocalMachine, "SOFTWARE\\Vendor", value,
                                       access, max);
    }
    testing::TempDir dir;
    SimHost host{dir.Path()};
};

TEST_F(SimRegistryViews, A32BitProgramSeesWow6432NodeUnlessItAsksForThe64BitView) {
    EXPECT_EQ(Read("Where", kKeyRead | kKeyWow64_64Key), "64-bit view");
    EXPECT_EQ(Read("Where", kKeyRead), "32-bit view");
    host.SetWindows64(false);
    EXPECT_EQ(Read("Where", kKeyRead), "64-bit view") << "one view only on 32-bit Windows";
}

TEST_F(SimRegistryViews, ValuesMustBeTextAndFitWithTheirFinalZero) {
    const uint32_t access = kKeyRead | kKeyWow64_64Key;
    EXPECT_EQ(Read("Long", access), std::string(1023, 'x'));
    EXPECT_EQ(Read("Long", access, 1023), std::nullopt) << "1023 bytes and the zero: 1024";
    EXPECT_EQ(Read("Empty", access), "");
    EXPECT_EQ(Read("Number", access), std::nullopt);
    EXPECT_EQ(Read("Missing", access), std::nullopt);
    EXPECT_EQ(host.RegistryReadString(RegistryRoot::LocalMachine, "\\SOFTWARE\\Vendor", "Where",
                                      access, 1024),
              std::nullopt)
        << "a leading backslash does not open";
    EXPECT_EQ(host.RegistryEnumSubkey(RegistryRoot::LocalMachine, "SOFTWARE\\Vendor", 0, access),
              "A");
    EXPECT_EQ(host.RegistryEnumSubkey(RegistryRoot::LocalMachine, "SOFTWARE\\Vendor\\", 1, access),
              "b");
    EXPECT_EQ(host.RegistryEnumSubkey(RegistryRoot::LocalMachine, "SOFTWARE\\Vendor", 2, access),
              "");
}

TEST_F(SimRegistryViews, AStandardUserCannotOpenMachineKeysForWriting) {
    host.SetRestrictedUser(true);
    const uint32_t view = kKeyWow64_64Key;
    EXPECT_EQ(host.RegistryEnumSubkey(RegistryRoot::LocalMachine, "SOFTWARE\\Vendor", 0,
                                      kKeyAllAccess | view),
              "");
    EXPECT_EQ(
        host.RegistryEnumSubkey(RegistryRoot::LocalMachine, "SOFTWARE\\Vendor", 0, kKeyRead | view),
        "A");
}

TEST(SimProcesses, StartedChildrenAreListedOnlyWhileTheyRun) {
    testing::TempDir dir;
    SimHost host(dir.Path());
    host.AddProcess(4, "System");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        pause();
        _exit(0);
    }
    host.AddStartedProcess(static_cast<uint32_t>(child), "C:\\J\\jfw.exe");
    auto snapshot = host.ProcessSnapshot();
    ASSERT_EQ(snapshot->size(), 2u);
    EXPECT_EQ((*snapshot)[1].exeFile, "jfw.exe");
    EXPECT_EQ(host.ProcessImagePath(static_cast<uint32_t>(child), 100), "C:\\J\\jfw.exe");

    ::kill(child, SIGKILL);
    // Until it is reaped the ended child is a zombie: no longer running all the same.
    for (int i = 0; i < 200 && host.ProcessSnapshot()->size() == 2; ++i) {
        usleep(10000);
    }
    EXPECT_EQ(host.ProcessSnapshot()->size(), 1u);
    EXPECT_EQ(host.ProcessImagePath(static_cast<uint32_t>(child), 100), "");
    waitpid(child, nullptr, 0);
    host.RemoveProcess(static_cast<uint32_t>(child));
    host.RemoveProcess(4);
    EXPECT_TRUE(host.ProcessSnapshot()->empty());
}

} // namespace
} // namespace vuni
