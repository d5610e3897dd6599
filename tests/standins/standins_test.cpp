// The native stand-ins, run as programs: what the installer's steps rely on.
#include "jaws/host_items.h"
#include "standin_support.h"
#include "testing/shared_dir.h"
#include "testing/temp_dir.h"
#include "text/text.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vuni {
namespace {
namespace fs = std::filesystem;

// Copies a built stand-in into dir (its journal then lands there too).
fs::path Install(const fs::path& dir, const std::string& name, const std::string& as = "") {
    const fs::path to = dir / (as.empty() ? name : as);
    fs::create_directories(dir);
    fs::copy_file(fs::path(VUNI_STANDIN_DIR) / name, to, fs::copy_options::overwrite_existing);
    return to;
}

pid_t Start(const fs::path& program, const std::vector<std::string>& args, const fs::path& cwd) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(cwd.c_str()) != 0) {
            _exit(126);
        }
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int RunToEnd(const fs::path& program, const std::vector<std::string>& args, const fs::path& cwd) {
    return Wait(Start(program, args, cwd));
}

std::string Journal(const fs::path& file) {
    return fs::exists(file) ? testing::ReadHostFile(file) : std::string();
}

class Standins : public ::testing::Test {
protected:
    testing::TempDir dir;
    fs::path bin = dir.Path() / "JAWS";
    fs::path work = dir.Path() / "fra";
    void SetUp() override { fs::create_directories(work); }
};

TEST_F(Standins, ScompileCompilesBalancedSourcesBesideThem) {
    const fs::path scompile = Install(bin, "scompile", kScriptCompiler);
    testing::WriteHostFile(work / "Word.jss", "Script A ()\nEndScript\n");
    testing::WriteHostFile(work / "Bad.jss", "Script A ()\n");

    EXPECT_EQ(RunToEnd(scompile, {(work / "Word.jss").string()}, work), 0);
    EXPECT_TRUE(fs::exists(work / "Word.jsb"));
    EXPECT_EQ(RunToEnd(scompile, {"Bad.jss"}, work), 1)
        << "a relative source, from the working folder";
    EXPECT_FALSE(fs::exists(work / "Bad.jsb"));
    EXPECT_EQ(RunToEnd(scompile, {"Missing.jss"}, work), 2);
    EXPECT_EQ(RunToEnd(scompile, {}, work), 2);

    EXPECT_EQ(Journal(bin / standin::kScompileJournal),
              (work / "Word.jss").string() + "|" + work.string() + "|0\n" + "Bad.jss|" +
                  work.string() + "|1\n" + "Missing.jss|" + work.string() + "|2\n" + "|" +
                  work.string() + "|2\n");
}

// Under the simulated Windows the journals name its drives' paths as Windows paths.
TEST_F(Standins, JournalsNameSimulatedDrivesAsWindowsPaths) {
    const fs::path scompile = Install(bin, "scompile", kScriptCompiler);
    // Host names are UTF-8; the journal has the Windows-1252 names, as on Windows.
    const fs::path drive = dir.Path() / "c" / "Scripts" / Cp1252ToUtf8("Mod\xE8les");
    fs::create_directories(drive);
    testing::WriteHostFile(drive / "A.jss", "Script A ()\nEndScript\n");
    setenv("VUNI_SIM_ROOT", (dir.Path().string() + "/").c_str(), 1);
    EXPECT_EQ(RunToEnd(scompile, {(drive / "A.jss").string()}, drive), 0);
    EXPECT_EQ(RunToEnd(scompile, {(dir.Path() / "cd" / "B.jss").string()}, dir.Path() / "c"), 2)
        << "a folder whose name only begins with a letter is no drive";
    unsetenv("VUNI_SIM_ROOT");
    EXPECT_EQ(Journal(bin / standin::kScompileJournal),
              "C:\\Scripts\\Mod\xE8les\\A.jss|C:\\Scripts\\Mod\xE8les|0\n" +
                  (dir.Path() / "cd" / "B.jss").string() + "|C:\\|2\n");
}

TEST_F(Standins, JfwRunsUntilJfwKillEndsIt) {
    const fs::path jfw = Install(bin, "jfw", kJawsProcess);
    const fs::path other = Install(dir.Path() / "elsewhere", "jfw");
    const fs::path jfwkill = Install(bin, "JfwKill", kJawsStopProgram);
    const pid_t running = Start(jfw, {}, work);
    const pid_t outside = Start(other, {}, work);
    // Let both start, then check that they stay up.
    for (int i = 0; i < 200 && Journal(bin / standin::kJfwJournal).empty(); ++i) {
        usleep(10000);
    }
    usleep(100000);
    EXPECT_EQ(waitpid(running, nullptr, WNOHANG), 0) << "jfw keeps running";
    EXPECT_EQ(Journal(bin / standin::kJfwJournal), "started|" + work.string() + "\n");

    // Only the jfw of this sandbox is ended: others' tests run in parallel.
    setenv(standin::kKillScopeVariable, bin.c_str(), 1);
    const pid_t kill = Start(jfwkill, {}, bin);
    EXPECT_EQ(Wait(running), 128 + SIGTERM);
    EXPECT_EQ(Wait(kill), 1) << "the number of processes ended";
    EXPECT_EQ(RunToEnd(jfwkill, {}, bin), 0) << "none left";
    unsetenv(standin::kKillScopeVariable);
    EXPECT_EQ(Journal(bin / standin::kJfwKillJournal), "killed 1\nkilled 0\n");
    EXPECT_EQ(waitpid(outside, nullptr, WNOHANG), 0) << "outside the scope";
    ::kill(outside, SIGKILL);
    Wait(outside);
}

TEST_F(Standins, JfwApiReloadsConfigurationsOnly) {
    const fs::path library = Install(bin, "JfwAPI.so", kJawsApiLibrary);
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    using Fn = int (*)(const char*);
    auto run = reinterpret_cast<Fn>(dlsym(handle, kJawsApiFunction));
    ASSERT_NE(run, nullptr);
    EXPECT_NE(run(kReloadAllConfigsCall), 0);
    EXPECT_EQ(run("SayString(\"x\")"), 0);
    dlclose(handle);
    EXPECT_EQ(Journal(bin / standin::kJfwApiJournal), "ReloadAllConfigs()\nSayString(\"x\")\n");
}

} // namespace
} // namespace vuni
