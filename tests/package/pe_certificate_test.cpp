// Signed installers: a PE program image, the package, alignment padding and a certificate
// table that the security directory entry points at.
#include "installer_file_fixture.h"
#include "package/package.h"
#include "package/pe_certificate.h"
#include "testing/package_builder.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

constexpr size_t kLfanew = 0x80;
constexpr size_t kOptionalHeader = kLfanew + 4 + 20;

void Put(std::string& bytes, size_t offset, uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
        bytes[offset + static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

struct FakePe {
    uint16_t magic = 0x20B;
    uint32_t rvaCount = 16;
    // Where the directory entries begin within the optional header.
    size_t DirectoryOffset() const { return kOptionalHeader + (magic == 0x10B ? 96 : 112); }
    size_t SecurityEntry() const { return DirectoryOffset() + 4 * 8; }

    // A program image of 0x300 bytes: DOS header, PE signature, file and optional headers.
    std::string Image() const {
        std::string b(0x300, '\0');
        b[0] = 'M';
        b[1] = 'Z';
        Put(b, 0x3C, kLfanew, 4);
        b.replace(kLfanew, 4, std::string("PE\0\0", 4));
        Put(b, kLfanew + 4, magic == 0x10B ? 0x14C : 0x8664, 2);
        Put(b, kLfanew + 4 + 16,
            static_cast<uint32_t>(DirectoryOffset() + 16 * 8 - kOptionalHeader), 2);
        Put(b, kOptionalHeader, magic, 2);
        Put(b, DirectoryOffset() - 4, rvaCount, 4);
        return b;
    }
};

// The certificate table: a WIN_CERTIFICATE header and bytes that, read as a file record,
// would be damage.
std::string CertificateTable() {
    std::string t(64, '\xA5');
    Put(t, 0, 64, 4);
    Put(t, 4, 0x200, 2);
    Put(t, 6, 2, 2);
    return t;
}

// The package bytes after pe's image, padded to 8 bytes with zeros, then the table; the
// security entry names it. Returns the table's offset.
size_t Sign(std::string& bytes, const FakePe& pe) {
    bytes.append((8 - bytes.size() % 8) % 8, '\0');
    const size_t offset = bytes.size();
    const std::string table = CertificateTable();
    bytes += table;
    Put(bytes, pe.SecurityEntry(), static_cast<uint32_t>(offset), 4);
    Put(bytes, pe.SecurityEntry() + 4, static_cast<uint32_t>(table.size()), 4);
    return offset;
}

class SignedInstaller : public testing::InstallerFileTest {
protected:
    // The sample package, with a last file whose length leaves padding to align on 8.
    testing::TestPackage Package(const FakePe& pe) {
        testing::TestPackage p = testing::SamplePackage();
        p.stub = pe.Image();
        return p;
    }
    int64_t TableOffset() {
        auto file = host.OpenRead("C:\\setup.exe");
        return FindCertificateTable(*file, file->Size());
    }
    std::string Extract(size_t index) {
        const auto bytes = ExtractEntryContent(state, host, log, static_cast<int>(index));
        return bytes ? std::string(bytes->begin(), bytes->end()) : "(failed)";
    }
};

TEST_F(SignedInstaller, PackageEndsWhereTheCertificateTableBeginsInPe32AndPe32Plus) {
    for (const uint16_t magic : {uint16_t{0x10B}, uint16_t{0x20B}}) {
        SCOPED_TRACE(magic);
        FakePe pe;
        pe.magic = magic;
        for (const size_t extra : {0, 1, 3, 7}) {
            SCOPED_TRACE(extra);
            testing::TestPackage p = Package(pe);
            p.files[1].content += std::string(extra, 'x');
            std::string bytes = testing::BuildInstallerBytes(p);
            const size_t padding = (8 - bytes.size() % 8) % 8;
            const size_t offset = Sign(bytes, pe);
            EXPECT_EQ(offset - padding, testing::BuildInstallerBytes(p).size());
            Install(bytes);
            EXPECT_EQ(TableOffset(), static_cast<int64_t>(offset));
            ASSERT_EQ(Load(), LoadPackageResult::Success);
            ASSERT_EQ(state.entries.size(), 2u);
            EXPECT_EQ(Extract(0), p.files[0].content);
            EXPECT_EQ(Extract(1), p.files[1].content);
        }
    }
}

TEST_F(SignedInstaller, ZerosThatEndTheLastFileAreDataNotPadding) {
    FakePe pe;
    for (const size_t zeros : {1, 5, 8, 12}) {
        SCOPED_TRACE(zeros);
        testing::TestPackage p = Package(pe);
        p.files[1].content = "tail" + std::string(zeros, '\0');
        std::string bytes = testing::BuildInstallerBytes(p);
        Sign(bytes, pe);
        Install(bytes);
        ASSERT_EQ(Load(), LoadPackageResult::Success);
        EXPECT_EQ(Extract(1), p.files[1].content);
    }
}

TEST_F(SignedInstaller, OnlyShortRunsOfZerosBeforeTheTableArePadding) {
    FakePe pe;
    const std::string bytes = testing::BuildInstallerBytes(Package(pe));
    // Eight zero bytes are more than alignment needs; a non-zero byte is no padding.
    for (const std::string& gap : {std::string(8, '\0'), std::string("\x01")}) {
        std::string b = bytes + gap;
        Sign(b, pe);
        Install(b);
        EXPECT_EQ(Load(), LoadPackageResult::Failure);
        EXPECT_TRUE(state.entries.empty());
    }
}

TEST_F(SignedInstaller, AnEntryThatDoesNotFitIsIgnoredAndTheTableReadAsPackage) {
    const FakePe good;
    // Without the directory entry the table after the package is damage: the check that
    // the other cases rely on.
    std::string unsignedBytes = testing::BuildInstallerBytes(Package(good)) + CertificateTable();
    Install(unsignedBytes);
    EXPECT_EQ(TableOffset(), -1);
    EXPECT_EQ(Load(), LoadPackageResult::Failure);

    struct Case {
        const char* what;
        void (*damage)(std::string& bytes, const FakePe& pe);
        int64_t table = -1; // what the PE header names
    };
    const Case cases[] = {
        {"table runs past the end",
         [](std::string& b, const FakePe& pe) { Put(b, pe.SecurityEntry() + 4, 65, 4); }},
        {"empty table",
         [](std::string& b, const FakePe& pe) { Put(b, pe.SecurityEntry() + 4, 0, 4); }},
        {"table inside the program image",
         [](std::string& b, const FakePe& pe) { Put(b, pe.SecurityEntry(), 0x200, 4); }},
        {"table that stops short of the end",
         [](std::string& b, const FakePe& pe) { Put(b, pe.SecurityEntry() + 4, 56, 4); }},
        {"unknown certificate revision",
         [](std::string& b, const FakePe&) { b[b.size() - 60] = 3; }},
        {"no MZ", [](std::string& b, const FakePe&) { b[1] = 'X'; }},
        {"e_lfanew past the end",
         [](std::string& b, const FakePe&) { Put(b, 0x3C, 0xFFFFFFF0, 4); }},
        {"no PE signature", [](std::string& b, const FakePe&) { b[kLfanew + 2] = 'X'; }},
        {"unknown optional header",
         [](std::string& b, const FakePe&) { Put(b, kOptionalHeader, 0x107, 2); }},
        {"four directory entries",
         [](std::string& b, const FakePe& pe) { Put(b, pe.DirectoryOffset() - 4, 4, 4); }},
        {"optional header too short for the entry",
         [](std::string& b, const FakePe&) { Put(b, kLfanew + 4 + 16, 112 + 4 * 8, 2); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string b = testing::BuildInstallerBytes(Package(good));
        Sign(b, good);
        c.damage(b, good);
        Install(b);
        EXPECT_EQ(TableOffset(), c.table);
        EXPECT_EQ(Load(), LoadPackageResult::Failure);
    }
}

TEST_F(SignedInstaller, ATableNamedAtARecordBoundaryIsDamageNotAShorterPackage) {
    const FakePe pe;
    std::string b = testing::BuildInstallerBytes(Package(pe));
    Sign(b, pe);
    Install(b);
    ASSERT_EQ(Load(), LoadPackageResult::Success);
    const PackageEntry& first = state.entries[0];
    const auto secondRecord = static_cast<uint32_t>(first.dataOffset + first.storedSize);
    Put(b, pe.SecurityEntry(), secondRecord, 4);
    Put(b, pe.SecurityEntry() + 4, static_cast<uint32_t>(b.size()) - secondRecord, 4);
    Install(b);
    EXPECT_EQ(TableOffset(), -1);
    EXPECT_EQ(Load(), LoadPackageResult::Failure);
}

TEST_F(SignedInstaller, ASignedProgramImageWithoutASignedPackageReadsAsBefore) {
    // The stub was signed before the package was appended: its table lies in the image.
    FakePe pe;
    std::string stub = pe.Image() + CertificateTable();
    Put(stub, pe.SecurityEntry(), static_cast<uint32_t>(pe.Image().size()), 4);
    Put(stub, pe.SecurityEntry() + 4, static_cast<uint32_t>(CertificateTable().size()), 4);
    testing::TestPackage p = Package(pe);
    p.stub = stub;
    Install(testing::BuildInstallerBytes(p));
    EXPECT_EQ(TableOffset(), -1); // it does not end the file
    ASSERT_EQ(Load(), LoadPackageResult::Success);
    EXPECT_EQ(Extract(1), p.files[1].content);
}

} // namespace
} // namespace vuni
