#include "jaws/registry.h"
#include "jaws/shell_folders.h"
#include "machine_fixture.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

// Records the access rights of every registry call.
class RecordingHost : public SimHost {
public:
    using SimHost::SimHost;
    std::optional<std::string> RegistryReadString(RegistryRoot root, const std::string& key,
                                                  const std::string& value, uint32_t access,
                                                  size_t maxBytes) override {
        accesses.push_back(access);
        lastMaxBytes = maxBytes;
        return SimHost::RegistryReadString(root, key, value, access, maxBytes);
    }
    std::string RegistryEnumSubkey(RegistryRoot root, const std::string& key, uint32_t index,
                                   uint32_t access) override {
        accesses.push_back(access);
        lastKey = key;
        return SimHost::RegistryEnumSubkey(root, key, index, access);
    }
    std::vector<uint32_t> accesses;
    size_t lastMaxBytes = 0;
    std::string lastKey;
};

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        host.SetWindows64(false); // one registry view: only the access rights matter here
        host.Registry().SetString("HKLM\\SOFTWARE\\V", "Text", "value");
        host.Registry().SetString("HKLM\\SOFTWARE\\V", "Empty", "");
        host.Registry().SetString("HKLM\\SOFTWARE\\V", "Longest", std::string(1023, 'a'));
        host.Registry().SetString("HKLM\\SOFTWARE\\V", "TooLong", std::string(1024, 'a'));
        host.Registry().SetBinary("HKLM\\SOFTWARE\\V", "Number", "\x05\0\0\0");
        host.Registry().CreateKey("HKLM\\SOFTWARE\\V\\Sub");
    }
    std::string Read(const char* value) {
        return ReadRegistryString(host, RegistryRoot::LocalMachine, "SOFTWARE\\V", value);
    }
    testing::TempDir dir;
    RecordingHost host{dir.Path()};
};

TEST_F(Registry, ValuesThatCannotBeReadAreEmpty) {
    EXPECT_EQ(Read("Text"), "value");
    EXPECT_EQ(Read("Empty"), "");
    EXPECT_EQ(Read("Longest"), std::string(1023, 'a'));
    EXPECT_EQ(Read("TooLong"), "") << "1024 characters and the zero exceed 1024 bytes";
    EXPECT_EQ(Read("Number"), "") << "not text";
    EXPECT_EQ(Read("Missing"), "");
    EXPECT_EQ(ReadRegistryString(host, RegistryRoot::LocalMachine, "SOFTWARE\\None", "Text"), "");
    EXPECT_EQ(host.lastMaxBytes, 1024u);
}

TEST_F(Registry, AccessRightsAndTheViewFollowTheWindowsVersion) {
    host.SetWindowsVersionClass(60);
    Read("Text");
    EnumRegistrySubkey(host, RegistryRoot::LocalMachine, "SOFTWARE\\V", 0);
    EXPECT_EQ(host.accesses, (std::vector<uint32_t>{0x20119, 0xF013F}));
    host.accesses.clear();
    host.SetWindowsVersionClass(50);
    Read("Text");
    EnumRegistrySubkey(host, RegistryRoot::LocalMachine, "SOFTWARE\\V", 0);
    EXPECT_EQ(host.accesses, (std::vector<uint32_t>{0x20019, 0xF003F}));
}

TEST_F(Registry, SubkeysByIndexWithOneLeadingBackslashDropped) {
    EXPECT_EQ(EnumRegistrySubkey(host, RegistryRoot::LocalMachine, "\\SOFTWARE\\V", 0), "Sub");
    EXPECT_EQ(host.lastKey, "SOFTWARE\\V");
    EXPECT_EQ(EnumRegistrySubkey(host, RegistryRoot::LocalMachine, "SOFTWARE\\V", 1), "");
    EXPECT_EQ(EnumRegistrySubkey(host, RegistryRoot::LocalMachine, "SOFTWARE\\None", 0), "");
}

TEST(SpecialFolderPath, AddsABackslashOrStaysEmpty) {
    testing::TempDir dir;
    SimHost host(dir.Path());
    host.SetSpecialFolder(26, "C:\\Users\\a\\AppData\\Roaming");
    host.SetSpecialFolder(5, "C:\\");
    EXPECT_EQ(SpecialFolderPath(host, 26), "C:\\Users\\a\\AppData\\Roaming\\");
    EXPECT_EQ(SpecialFolderPath(host, 5), "C:\\");
    EXPECT_EQ(SpecialFolderPath(host, 35), "");
    const ShellFolders f = ResolveShellFolders(host);
    EXPECT_EQ(f.userJawsRoot, "C:\\Users\\a\\AppData\\Roaming\\Freedom Scientific\\JAWS\\");
    EXPECT_EQ(f.sharedJawsRoot, "Freedom Scientific\\JAWS\\");
    EXPECT_EQ(f.myDocuments, "C:\\");
}

} // namespace
} // namespace vuni
