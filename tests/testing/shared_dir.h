// Access to ../shared (format vectors, corpus): tests that need it skip when it is absent.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace vuni::testing {

// The shared folder, or an empty path when it is not beside the project.
std::filesystem::path SharedDir();
// The project's source folder.
std::filesystem::path SourceDir();

// Reads a whole Linux file as bytes; fails the test when it cannot.
std::string ReadHostFile(const std::filesystem::path& path);
void WriteHostFile(const std::filesystem::path& path, const std::string& bytes);

} // namespace vuni::testing

// Skips the current test when ../shared/<sub> is missing.
#define VUNI_REQUIRE_SHARED(sub)                                                                 \
    do {                                                                                         \
        if (::vuni::testing::SharedDir().empty() ||                                              \
            !std::filesystem::exists(::vuni::testing::SharedDir() / (sub))) {                    \
            GTEST_SKIP() << "shared folder " << (sub) << " is absent; skipping";                 \
        }                                                                                        \
    } while (0)
