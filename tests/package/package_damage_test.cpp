// Damaged and hostile packages: every one is refused cleanly, never read out of bounds,
// never allocated for, never looped on.
#include "installer_file_fixture.h"
#include "package/package.h"
#include "package/scramble.h"
#include "testing/package_builder.h"

#include <gtest/gtest.h>
#include <string>

namespace vuni {
namespace {

std::string Int32(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    return {static_cast<char>(u), static_cast<char>(u >> 8), static_cast<char>(u >> 16),
            static_cast<char>(u >> 24)};
}

std::string SString(std::string s) {
    Scramble(s.data(), static_cast<int64_t>(s.size()));
    return Int32(static_cast<int32_t>(s.size())) + s;
}

// Stub, marker line and an info section of empty texts.
std::string Head() {
    std::string out = "MZ stub\n" + PackageMarker() + "\n" + Int32(1700000000);
    for (int i = 0; i < 12; ++i) {
        out += SString(i == 0 ? "App" : "");
    }
    out += Int32(0);
    for (int i = 0; i < 3; ++i) {
        out += SString("");
    }
    return out;
}

std::string Record(const std::string& name, int32_t group, int32_t plain, int32_t stored) {
    return SString(name) + SString("%JawsScriptPath%\\") + Int32(group) + Int32(1) + Int32(plain) +
           Int32(stored) + Int32(0);
}

class DamagedPackage : public testing::InstallerFileTest {
protected:
    using InstallerFileTest::Load;
    LoadPackageResult Load(const std::string& bytes) {
        Install(bytes);
        return Load();
    }
};

TEST_F(DamagedPackage, EveryTruncationIsRefusedOrReadsWholeRecordsOnly) {
    testing::TestPackage p = testing::SamplePackage();
    p.files.push_back(p.files[0]);
    p.files.back().sourceName = "Trois.jss";
    const std::string full = testing::BuildInstallerBytes(p);
    ASSERT_EQ(Load(full), LoadPackageResult::Success);
    std::vector<int64_t> recordEnds;
    for (const PackageEntry& e : state.entries) {
        recordEnds.push_back(e.dataOffset + e.storedSize);
    }
    ASSERT_EQ(recordEnds.back(), static_cast<int64_t>(full.size()));

    for (size_t cut = 0; cut < full.size(); ++cut) {
        const LoadPackageResult r = Load(full.substr(0, cut));
        // Cutting just after a record (or one byte past it: a lone trailing byte is no
        // record) leaves a shorter but sound package.
        size_t whole = 0;
        for (size_t i = 0; i < recordEnds.size(); ++i) {
            const auto c = static_cast<int64_t>(cut);
            if (c == recordEnds[i] || c == recordEnds[i] + 1) {
                whole = i + 1;
            }
        }
        if (whole == 0) {
            ASSERT_EQ(r, LoadPackageResult::Failure) << "cut at " << cut;
            ASSERT_TRUE(state.entries.empty()) << "cut at " << cut;
            continue;
        }
        ASSERT_EQ(r, LoadPackageResult::Success) << "cut at " << cut;
        ASSERT_EQ(state.entries.size(), whole) << "cut at " << cut;
        for (size_t i = 0; i < whole; ++i) {
            state.currentEntry = static_cast<int>(i);
            ASSERT_TRUE(ExtractEntry(state, host, log, "", true)) << "cut at " << cut;
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(state.workBuffer.Data()),
                                  p.files[i].content.size()),
                      p.files[i].content);
        }
    }
}

TEST_F(DamagedPackage, LengthsAndRangesPastTheEndAreRefused) {
    const std::string group = SString("10") + SString("alias") + Int32(0);
    // A text length far beyond the file: no allocation of that size, a clear failure.
    std::string bytes = Head();
    const size_t appLength = bytes.find(PackageMarker()) + 26 + 1 + 4;
    bytes.replace(appLength, 4, Int32(0x7FFFFFFF));
    EXPECT_EQ(Load(bytes + group + Record("a", 0, 1, 1) + "x"), LoadPackageResult::Failure);
    EXPECT_NE(install.Text().find("! Damaged package data at : "), std::string::npos);

    // A group alias running past the end.
    EXPECT_EQ(Load(Head() + SString("10") + Int32(50) + "short"), LoadPackageResult::Failure);
    // A data range one byte past the end.
    EXPECT_EQ(Load(Head() + group + Record("a", 0, 5, 5) + "abcd"), LoadPackageResult::Failure);
    // A record cut inside its fixed fields.
    EXPECT_EQ(Load(Head() + group + Record("a", 0, 1, 1).substr(0, 20)),
              LoadPackageResult::Failure);
    // The sound version of the same package loads.
    EXPECT_EQ(Load(Head() + group + Record("a", 0, 5, 5) + "abcde"), LoadPackageResult::Success);
}

TEST_F(DamagedPackage, NegativeAndLyingSizesAreRefusedWithoutLooping) {
    const std::string group = SString("10") + SString("") + Int32(0);
    const std::string good = Record("a", 0, 4, 4) + "abcd";
    // A negative stored size would walk back to the same record for ever.
    EXPECT_EQ(Load(Head() + group + good + Record("b", 0, 4, -40) + "abcd"),
              LoadPackageResult::Failure);
    EXPECT_TRUE(state.entries.empty());
    EXPECT_EQ(Load(Head() + group + Record("b", 0, -4, 4) + "abcd"), LoadPackageResult::Failure);
    EXPECT_EQ(Load(Head() + group + Record("b", 0, INT32_MIN, INT32_MIN) + "abcd"),
              LoadPackageResult::Failure);
    // A packed entry claiming 2 GB from ten bytes is more than the buffers may take: said as
    // such, without trying the allocation.
    EXPECT_EQ(Load(Head() + group + Record("b", 0, 0x7FFFFFFF, 10) + "JC12345678"),
              LoadPackageResult::OutOfMemory);
    EXPECT_LT(state.workBuffer.Size(), 1u << 20);
    // A stored size beyond the file.
    EXPECT_EQ(Load(Head() + group + Record("b", 0, 0x7FFFFFF0, 0x7FFFFFF0) + "abcd"),
              LoadPackageResult::Failure);
    // A plausible packed claim is read; only its decoding fails.
    ASSERT_EQ(Load(Head() + group + Record("b", 0, 4000, 10) + "JC12345678"),
              LoadPackageResult::Success);
    EXPECT_EQ(state.workBuffer.Size(), 4002u);
    EXPECT_EQ(state.packBuffer.Size(), 4002u);
    state.currentEntry = 0;
    EXPECT_FALSE(ExtractEntry(state, host, log, "", true));
}

TEST_F(DamagedPackage, MarkerWithoutPackage) {
    EXPECT_EQ(Load("\n" + PackageMarker() + "\n"), LoadPackageResult::Failure);
    EXPECT_EQ(Load("MZ stub\n" + PackageMarker()), LoadPackageResult::Failure);
    EXPECT_EQ(Load(PackageMarker()), LoadPackageResult::Failure);
    EXPECT_EQ(Load(""), LoadPackageResult::Failure);
    // The marker inside a longer line is not the package start.
    EXPECT_EQ(Load("MZ" + PackageMarker() + "\n" + Head().substr(8 + 27) + SString("10") +
                   SString("") + Int32(0) + Record("a", 0, 1, 1) + "z"),
              LoadPackageResult::Failure);
}

TEST_F(DamagedPackage, GroupListAndTextFieldsWithNonPositiveLengths) {
    // A negative text length reads as empty and takes only its four bytes: the
    // application version (the second text) is given the length -7.
    std::string head = Head();
    const size_t version = head.find(PackageMarker()) + 26 + 1 + 4 + 4 + 3;
    ASSERT_EQ(head.substr(version, 4), Int32(0));
    head.replace(version, 4, Int32(-7));
    // A negative group-name length ends the group list, with no alias after it.
    const std::string bytes =
        head + SString("9") + SString("al") + Int32(-5) + Record("a", 0, 2, 2) + "ab";
    ASSERT_EQ(Load(bytes), LoadPackageResult::Success) << install.Text();
    EXPECT_EQ(state.info.applicationName, "App");
    EXPECT_EQ(state.info.applicationVersion, "");
    ASSERT_EQ(state.groups.size(), 1u);
    EXPECT_EQ(state.groups[0].alias, "al");
    ASSERT_EQ(state.entries.size(), 1u);
    EXPECT_EQ(state.entries[0].sourceName, "a");
}

TEST_F(DamagedPackage, ShortReadFailsTheExtraction) {
    testing::TestPackage p = testing::SamplePackage();
    const std::string full = testing::BuildInstallerBytes(p);
    ASSERT_EQ(Load(full), LoadPackageResult::Success);
    // The program file shrinks after start-up: the last entry can no longer be read whole.
    testing::WriteHostFile(dir.Path() / "c" / "setup.exe", full.substr(0, full.size() - 2));
    state.currentEntry = static_cast<int>(state.entries.size() - 1);
    EXPECT_FALSE(ExtractEntry(state, host, log, "C:\\out.jsm", false));
    EXPECT_EQ(install.Lines().back(), "! Can't access to file ! ");
    EXPECT_FALSE(host.IsFile("C:\\out.jsm"));
    // And when it is gone entirely.
    std::filesystem::remove(dir.Path() / "c" / "setup.exe");
    state.currentEntry = 0;
    EXPECT_FALSE(ExtractEntry(state, host, log, "", true));
    EXPECT_EQ(install.Lines().back(), "! Can't access file !");
}

} // namespace
} // namespace vuni
