#include "testing/temp_dir.h"

#include <cstdlib>
#include <string>

namespace vuni::testing {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vuni-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
        path_ = pattern;
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    if (!path_.empty()) {
        std::filesystem::remove_all(path_, ec);
    }
}

} // namespace vuni::testing
