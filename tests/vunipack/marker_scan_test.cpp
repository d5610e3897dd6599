// No built program may hold the package marker as a line of its own: an installer stub
// that did would be read as if its package started inside its own image.
#include "package/marker.h"
#include "testing/shared_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vuni {
namespace {

namespace fs = std::filesystem;

bool IsLineBreak(char c) {
    return c == '\n' || c == '\r' || c == '\0';
}

bool HoldsMarkerLine(const std::string& bytes, const std::string& marker) {
    for (size_t at = bytes.find(marker); at != std::string::npos; at = bytes.find(marker, at + 1)) {
        const size_t end = at + marker.size();
        if ((at == 0 || IsLineBreak(bytes[at - 1])) &&
            (end == bytes.size() || IsLineBreak(bytes[end]))) {
            return true;
        }
    }
    return false;
}

bool IsProgram(const fs::directory_entry& e) {
    std::error_code ec;
    if (!e.is_regular_file(ec)) {
        return false;
    }
    const std::string ext = e.path().extension().string();
    if (ext == ".exe" || ext == ".dll") {
        return true;
    }
    const auto perms = e.status(ec).permissions();
    return (perms & fs::perms::owner_exec) != fs::perms::none && ext.empty();
}

std::vector<fs::path> ProgramsUnder(const fs::path& root) {
    std::vector<fs::path> out;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        // Build metadata, and the Wine prefix of the Windows tests (Wine's own programs).
        if (it->path().filename() == "CMakeFiles" || it->path().filename() == "wine-prefix") {
            it.disable_recursion_pending();
            continue;
        }
        if (IsProgram(*it)) {
            out.push_back(it->path());
        }
    }
    return out;
}

TEST(MarkerScan, TheScanFindsAMarkerLine) {
    const std::string m = PackageMarker();
    EXPECT_TRUE(HoldsMarkerLine("MZ\n" + m + "\n", m));
    EXPECT_TRUE(HoldsMarkerLine(std::string("x\0", 2) + m, m));
    EXPECT_TRUE(HoldsMarkerLine(m + "\r\nrest", m));
    EXPECT_FALSE(HoldsMarkerLine("a" + m + "\n", m));
    EXPECT_FALSE(HoldsMarkerLine("\n" + m + " ", m));
}

TEST(MarkerScan, NoBuiltProgramHoldsTheMarkerLine) {
    const std::string marker = PackageMarker();
    const fs::path build = VUNI_BUILD_ROOT;
    std::vector<fs::path> roots = {build};
    // The Windows builds, when they are there beside this one.
    for (const char* preset : {"mingw-i686", "mingw-x86_64"}) {
        const fs::path other = build.parent_path() / preset;
        if (fs::is_directory(other) && fs::absolute(other) != fs::absolute(build)) {
            roots.push_back(other);
        }
    }
    size_t scanned = 0;
    bool sawVunipack = false;
    for (const fs::path& root : roots) {
        for (const fs::path& program : ProgramsUnder(root)) {
            ++scanned;
            const std::string stem = program.stem().string();
            sawVunipack = sawVunipack || stem == "vunipack";
            EXPECT_FALSE(HoldsMarkerLine(testing::ReadHostFile(program), marker)) << program;
        }
    }
    EXPECT_TRUE(sawVunipack) << "vunipack was not found under " << build;
    EXPECT_GE(scanned, 3u);
}

} // namespace
} // namespace vuni
