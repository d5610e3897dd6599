#include "testing/shared_dir.h"

#include <fstream>
#include <iterator>

namespace vuni::testing {

std::filesystem::path SharedDir() {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::weakly_canonical(VUNI_SHARED_DIR, ec);
    if (ec || !std::filesystem::is_directory(p, ec)) {
        return {};
    }
    return p;
}

std::filesystem::path SourceDir() { return VUNI_SOURCE_DIR; }

std::string ReadHostFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteHostFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.good()) << "cannot write " << path;
}

} // namespace vuni::testing
