// The Windows build of vunipack, run under Wine, writes the very bytes the Linux build
// writes. Skipped when Wine or the Windows build is absent.
#include "testing/shared_dir.h"
#include "testing/temp_dir.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace vuni {
namespace {

namespace fs = std::filesystem;

int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// "Z:\..." for a Linux path, as Wine maps its drive Z: to the Linux root.
std::string WinePath(const fs::path& p) {
    std::string out = "Z:" + fs::absolute(p).string();
    for (char& c : out) {
        if (c == '/') {
            c = '\\';
        }
    }
    return out;
}

TEST(VunipackWindows, WritesTheSameInstallerAsTheLinuxBuild) {
    const fs::path build = VUNI_BUILD_ROOT;
    const fs::path exe =
        build.parent_path() / "mingw-x86_64" / "tools" / "vunipack" / "vunipack.exe";
    if (!fs::exists(exe) || Shell("command -v wine >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "Wine or " << exe << " is absent; skipping";
    }
    testing::TempDir dir;
    const fs::path manifest =
        testing::SourceDir() / "examples" / "blocnotes" / "blocnotes.vunipack.ini";
    const fs::path stub = manifest; // any file can carry a package
    const std::string env = "WINEPREFIX='" + (build / "wine-prefix").string() + "' WINEDEBUG=-all ";
    const std::string quiet = " >'" + (dir.Path() / "log.txt").string() + "' 2>&1";
    ASSERT_EQ(Shell(env + "wine '" + exe.string() + "' build '" + WinePath(manifest) + "' -o '" +
                    WinePath(dir.Path() / "win.exe") + "' --stub '" + WinePath(stub) + "'" + quiet),
              0)
        << testing::ReadHostFile(dir.Path() / "log.txt");
    ASSERT_EQ(Shell(std::string(VUNIPACK_PATH) + " build '" + manifest.string() + "' -o '" +
                    (dir.Path() / "linux.exe").string() + "' --stub '" + stub.string() + "'" +
                    quiet),
              0);
    EXPECT_EQ(testing::ReadHostFile(dir.Path() / "win.exe"),
              testing::ReadHostFile(dir.Path() / "linux.exe"));
    EXPECT_EQ(Shell(env + "wine '" + exe.string() + "' verify '" +
                    WinePath(dir.Path() / "linux.exe") + "'" + quiet),
              0);
    EXPECT_NE(testing::ReadHostFile(dir.Path() / "log.txt").find("integrity seal matches"),
              std::string::npos);
    // The Windows listing is the Linux one, line ends aside.
    const std::string listed = " >'" + (dir.Path() / "list.txt").string() + "' 2>&1";
    ASSERT_EQ(Shell(env + "wine '" + exe.string() + "' list '" + WinePath(dir.Path() / "win.exe") +
                    "' --json" + listed),
              0);
    std::string windows = testing::ReadHostFile(dir.Path() / "list.txt");
    windows.erase(std::remove(windows.begin(), windows.end(), '\r'), windows.end());
    ASSERT_EQ(Shell(std::string(VUNIPACK_PATH) + " list '" + (dir.Path() / "win.exe").string() +
                    "' --json" + listed),
              0);
    EXPECT_EQ(windows, testing::ReadHostFile(dir.Path() / "list.txt"));
}

} // namespace
} // namespace vuni
