#include "installer_file_fixture.h"
#include "package/package.h"
#include "package/scramble.h"
#include "testing/package_builder.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

class PackageReader : public testing::InstallerFileTest {};

TEST_F(PackageReader, MarkerIsTheDocumentedLine) {
    const std::string m = PackageMarker();
    EXPECT_EQ(m.size(), 26u);
    // Joined at run time: this test program must not hold the marker line either.
    const char* volatile first = "<([éé_ BeGin ";
    const char* volatile second = " DaTas _èè])>";
    EXPECT_EQ(m, std::string(first) + second);
    EXPECT_EQ(static_cast<unsigned char>(m[3]), 0xE9u);
    EXPECT_EQ(static_cast<unsigned char>(m[21]), 0xE8u);
}

TEST_F(PackageReader, ReadsInfoGroupsAndEntriesWithTheirLogLines) {
    testing::TestPackage p = testing::SamplePackage();
    const std::string bytes = testing::BuildInstallerBytes(p);
    Install(bytes);
    ASSERT_EQ(Load(), LoadPackageResult::Success);
    EXPECT_EQ(state.info.applicationName, "MonAppli");
    EXPECT_EQ(state.info.author, "Élodie Auteur");
    EXPECT_EQ(state.info.date, 1700000000);
    ASSERT_EQ(state.groups.size(), 1u);
    EXPECT_EQ(state.groups[0].alias, "MonAppli;monappli");
    ASSERT_EQ(state.entries.size(), 2u);
    EXPECT_EQ(state.entries[1].sourceName, "MonAppli.jsm");
    EXPECT_EQ(state.entries[1].flags, EntryOptional);

    const int64_t infoOffset = static_cast<int64_t>(p.stub.size() + 1 + 26 + 1);
    EXPECT_EQ(state.infoOffset, infoOffset);
    const auto& lines = install.Lines();
    ASSERT_GE(lines.size(), 9u);
    EXPECT_EQ(lines[0], "* File Scan : C:\\setup.exe");
    EXPECT_EQ(lines[1], "  Size : " + std::to_string(bytes.size()) + " bytes");
    EXPECT_EQ(lines[2], "- Info Section at : " + std::to_string(infoOffset));
    EXPECT_EQ(lines[3].rfind("- File Section at : ", 0), 0u);
    EXPECT_EQ(lines[4], "- MonAppli.jss To %JawsScriptPath%\\");
    EXPECT_EQ(lines[5], "  Size=" + std::to_string(p.files[0].content.size()) + "bytes  PackSize=" +
                            std::to_string(p.files[0].content.size()) + "bytes");
    EXPECT_EQ(lines.back(), "");
    // Buffers: the largest entry plus two bytes; no pack buffer without packed entries.
    EXPECT_EQ(state.workBuffer.Size(), p.files[0].content.size() + 2);
    EXPECT_FALSE(state.packBuffer.Exists());
}

TEST_F(PackageReader, ExtractsStoredEntriesToMemoryAndFileEachTimeAnew) {
    testing::TestPackage p = testing::SamplePackage();
    Install(testing::BuildInstallerBytes(p));
    ASSERT_EQ(Load(), LoadPackageResult::Success);
    state.currentEntry = 0;
    ASSERT_TRUE(ExtractEntry(state, host, log, "", true));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(state.workBuffer.Data()),
                          p.files[0].content.size()),
              p.files[0].content);
    ASSERT_TRUE(ExtractEntry(state, host, log, "C:\\out.jss", false));
    ASSERT_TRUE(ExtractEntry(state, host, log, "C:\\out2.jss", false));
    std::string a;
    std::string b;
    ASSERT_TRUE(host.ReadWholeFile("C:\\out.jss", a));
    ASSERT_TRUE(host.ReadWholeFile("C:\\out2.jss", b));
    EXPECT_EQ(a, p.files[0].content);
    EXPECT_EQ(b, a);
    EXPECT_FALSE(ExtractEntry(state, host, log, "C:\\no\\such\\folder\\x", false));
    EXPECT_EQ(install.Lines().back(), " ! Error during save file");
}

// The program file is kept open between extractions: out of order, again, and after the
// program path changed, each entry still comes from the right place of the right file.
TEST_F(PackageReader, EntriesComeFromTheKeptOpenProgramFileInAnyOrder) {
    testing::TestPackage p = testing::SamplePackage();
    Install(testing::BuildInstallerBytes(p));
    ASSERT_EQ(Load(), LoadPackageResult::Success);
    const auto extract = [this](int index) {
        const auto bytes = ExtractEntryContent(state, host, log, index);
        return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("(failed)");
    };
    EXPECT_EQ(extract(1), p.files[1].content);
    EXPECT_EQ(extract(0), p.files[0].content);
    EXPECT_EQ(extract(1), p.files[1].content);

    // Another program file at another path, with other contents at the same offsets.
    testing::TestPackage q = p;
    q.files[0].content.assign(p.files[0].content.size(), 'x');
    testing::WriteHostFile(dir.Path() / "c" / "other.exe", testing::BuildInstallerBytes(q));
    state.ownPath = "C:\\other.exe";
    EXPECT_EQ(extract(0), q.files[0].content);
}

TEST_F(PackageReader, StoredDataIsUnscrambledFromItsOwnFirstByte) {
    testing::TestPackage p = testing::SamplePackage();
    // A stored file that begins with "JC" is still stored: equal sizes are never unpacked.
    p.files[0].content = "JCnot a packed stream";
    Install(testing::BuildInstallerBytes(p));
    ASSERT_EQ(Load(), LoadPackageResult::Success);
    state.currentEntry = 0;
    ASSERT_TRUE(ExtractEntry(state, host, log, "", true));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(state.workBuffer.Data()), 21),
              "JCnot a packed stream");
}

TEST_F(PackageReader, EmptyEntryExtractsToAnEmptyFile) {
    testing::TestPackage p = testing::SamplePackage();
    p.files[1].content.clear();
    Install(testing::BuildInstallerBytes(p));
    ASSERT_EQ(Load(), LoadPackageResult::Success);
    state.currentEntry = 1;
    ASSERT_TRUE(ExtractEntry(state, host, log, "C:\\empty.jsm", false));
    EXPECT_EQ(host.FileSize("C:\\empty.jsm"), 0);
}

TEST_F(PackageReader, NoCurrentEntryIsASystemError) {
    Install(testing::BuildInstallerBytes(testing::SamplePackage()));
    ASSERT_EQ(Load(), LoadPackageResult::Success);
    state.currentEntry = 7;
    EXPECT_FALSE(ExtractEntry(state, host, log, "", true));
    EXPECT_EQ(progress.Lines().back(), "! Erreur sythème");
    // The calls that name their entry select it and so report an index that names none.
    progress.Clear();
    EXPECT_FALSE(ExtractEntryToFile(state, host, log, -1, "C:\\out.jss"));
    EXPECT_EQ(progress.Lines().back(), "! Erreur sythème");
    EXPECT_FALSE(host.IsFile("C:\\out.jss"));
}

TEST_F(PackageReader, PackedEntryThatDoesNotDecodeIsAnUnpackError) {
    testing::TestPackage p = testing::SamplePackage();
    p.files[0].useOverride = true;
    p.files[0].storedOverride = "JC\x05garbage";
    Install(testing::BuildInstallerBytes(p));
    ASSERT_EQ(Load(), LoadPackageResult::Success);
    EXPECT_TRUE(state.packBuffer.Exists());
    state.currentEntry = 0;
    EXPECT_FALSE(ExtractEntry(state, host, log, "", true));
    EXPECT_EQ(install.Lines().back(), "! UnPack Error");
}

// Packing has no bound on its ratio: 1,500,000 zero bytes make a 30-byte stream (as the
// format's reference library packs them), and such an entry is read and unpacked.
TEST_F(PackageReader, AnyExpansionWithinTheSizeLimitIsRead) {
    static const char kStream[] = "4a4360e3160000000000ff4f912000ffffff577f93069108ffdd00000022";
    std::string stream;
    for (size_t i = 0; kStream[i] != '\0'; i += 2) {
        stream += static_cast<char>(std::stoi(std::string(kStream + i, 2), nullptr, 16));
    }
    ASSERT_EQ(stream.size(), 30u);
    testing::TestPackage p = testing::SamplePackage();
    p.files[0].content.assign(1500000, '\0');
    p.files[0].useOverride = true;
    p.files[0].storedOverride = stream;
    Install(testing::BuildInstallerBytes(p));
    ASSERT_EQ(Load(), LoadPackageResult::Success);
    const auto content = ExtractEntryContent(state, host, log, 0);
    ASSERT_TRUE(content);
    EXPECT_EQ(std::string(content->begin(), content->end()), p.files[0].content);
}

TEST_F(PackageReader, ProgramWithoutPackageFailsAfterScanAndSize) {
    const char image[] = "MZ just a program\n<([éé_ BeGin \0 DaTas _èè])>\n";
    Install(std::string(image, sizeof image - 1));
    EXPECT_EQ(Load(), LoadPackageResult::Failure);
    ASSERT_EQ(install.LineCount(), 2u);
    EXPECT_EQ(install.Lines()[1].rfind("  Size : ", 0), 0u);
}

TEST_F(PackageReader, MissingFileFailsWithTheScanLineOnly) {
    state.marker = PackageMarker();
    EXPECT_EQ(LoadPackage(state, host, log, "C:\\none.exe"), LoadPackageResult::Failure);
    EXPECT_EQ(install.LineCount(), 1u);
}

TEST_F(PackageReader, NoGroupOrNoFileFails) {
    testing::TestPackage p = testing::SamplePackage();
    p.groups.clear();
    Install(testing::BuildInstallerBytes(p));
    EXPECT_EQ(Load(), LoadPackageResult::Failure);
    p = testing::SamplePackage();
    p.files.clear();
    Install(testing::BuildInstallerBytes(p));
    EXPECT_EQ(Load(), LoadPackageResult::Failure);
}

TEST_F(PackageReader, TruncatedPackageIsRefusedBeforeAnythingIsInstalled) {
    const std::string bytes = testing::BuildInstallerBytes(testing::SamplePackage());
    Install(bytes.substr(0, bytes.size() - 5));
    EXPECT_EQ(Load(), LoadPackageResult::Failure);
    EXPECT_TRUE(state.entries.empty());
}

TEST_F(PackageReader, MarkerLineMayEndWithCrLfOrZero) {
    testing::TestPackage p = testing::SamplePackage();
    std::string bytes = testing::BuildInstallerBytes(p);
    // Rewrite the line end after the marker as CR LF: the info section follows both.
    const size_t at = p.stub.size() + 1 + 26;
    bytes.replace(at, 1, "\r\n");
    Install(bytes);
    ASSERT_EQ(Load(), LoadPackageResult::Success);
    EXPECT_EQ(state.infoOffset, static_cast<int64_t>(at + 2));
}

TEST_F(PackageReader, LoadFileRangeLogsAndReportsFailures) {
    Install("0123456789");
    EXPECT_EQ(LoadFileRange(state, host, log, "C:\\setup.exe", -1, 0), 10);
    EXPECT_EQ(install.Lines()[0], " Loading in file : setup.exe");
    EXPECT_EQ(install.Lines()[1], " Path C:\\");
    EXPECT_EQ(install.Lines()[2], " Loading 10 bytes begining at 0");
    EXPECT_EQ(install.LineCount(), 3u) << "a missing buffer is made without a line";
    EXPECT_EQ(LoadFileRange(state, host, log, "C:\\setup.exe", 4, 3), 4);
    EXPECT_EQ(install.Lines().back(), " Loading 4/ 10 bytes begining at 3");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(state.workBuffer.Data()), 4), "3456");
    EXPECT_EQ(LoadFileRange(state, host, log, "C:\\setup.exe", 0, 0), 1);
    EXPECT_EQ(LoadFileRange(state, host, log, "C:\\", 4, 0), 0);
    EXPECT_EQ(install.Lines().back(), "! Can't access file !");
}

} // namespace
} // namespace vuni
