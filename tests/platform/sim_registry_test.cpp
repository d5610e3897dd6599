#include "platform/sim/sim_registry.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

std::string Utf16Le(std::string_view ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

TEST(SimRegistry, ReadsTextValuesWithEscapesDefaultsAndContinuations) {
    SimRegistry r;
    ASSERT_TRUE(r.Import("REGEDIT4\r\n\r\n"
                         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\App]\r\n"
                         "@=\"the default\"\r\n"
                         "\"Path\"=\"C:\\\\Program Files\\\\App\\\\\"\r\n"
                         "\"Quote\"=\"say \\\"hi\\\"\"\r\n"
                         "\"Count\"=dword:0000000b\r\n"
                         "\"Blob\"=hex:01,02,\\\r\n  03\r\n"
                         "; a comment line\r\n"
                         "[HKLM\\SOFTWARE\\Vendor\\Other]\r\n"));
    const SimRegistryValue* path = r.FindValue("HKLM\\software\\VENDOR\\app", "path");
    ASSERT_NE(path, nullptr) << "names ignore case, HKLM stands for HKEY_LOCAL_MACHINE";
    EXPECT_TRUE(path->isText);
    EXPECT_EQ(path->data, "C:\\Program Files\\App\\");
    EXPECT_EQ(r.FindValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\App", "Quote")->data,
              "say \"hi\"");
    EXPECT_EQ(r.FindValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\App", "")->data, "the default");
    const SimRegistryValue* count =
        r.FindValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\App", "Count");
    ASSERT_NE(count, nullptr);
    EXPECT_FALSE(count->isText);
    EXPECT_EQ(count->data, std::string("\x0b\0\0\0", 4));
    EXPECT_EQ(r.FindValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\App", "Blob")->data,
              "\x01\x02\x03");
    // Parents exist as keys; subkeys come in name order.
    EXPECT_TRUE(r.KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE"));
    EXPECT_EQ(r.Subkeys("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor"),
              (std::vector<std::string>{"App", "Other"}));
}

TEST(SimRegistry, ReadsUtf16FilesWithExpandableTextAndWindows1252Files) {
    SimRegistry r;
    // hex(2) data of a version 5 file is UTF-16LE: "C:\é" then its zero.
    std::string v5 = Utf16Le("Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_CURRENT_USER\\Software\\A]\r\n"
                             "\"X\"=hex(2):43,00,3a,00,5c,00,e9,00,00,00\r\n"
                             "\"Name\"=\"");
    v5 += std::string("\xC9\0", 2); // "É" in UTF-16LE
    v5 += Utf16Le("lise\"\r\n").substr(2);
    ASSERT_TRUE(r.Import(v5));
    EXPECT_EQ(r.FindValue("HKCU\\Software\\A", "X")->data, "C:\\\xE9");
    EXPECT_TRUE(r.FindValue("HKCU\\Software\\A", "X")->isText);
    EXPECT_EQ(r.FindValue("HKCU\\Software\\A", "Name")->data, "\xC9lise");

    // A REGEDIT4 file in Windows-1252 (not valid UTF-8) and one in UTF-8 read alike.
    SimRegistry ansi;
    ASSERT_TRUE(ansi.Import("REGEDIT4\n[HKEY_CURRENT_USER\\B]\n\"V\"=\"caf\xE9\"\n"));
    EXPECT_EQ(ansi.FindValue("HKCU\\B", "V")->data, "caf\xE9");
    SimRegistry utf8;
    ASSERT_TRUE(
        utf8.Import("\xEF\xBB\xBFREGEDIT4\n[HKEY_CURRENT_USER\\B]\n\"V\"=\"caf\xC3\xA9\"\n"));
    EXPECT_EQ(utf8.FindValue("HKCU\\B", "V")->data, "caf\xE9");
}

TEST(SimRegistry, DeletesAndRefusesWhatIsNoRegistryFile) {
    SimRegistry r;
    ASSERT_TRUE(r.Import("REGEDIT4\n[HKEY_CURRENT_USER\\A\\B\\C]\n\"V\"=\"1\"\n"
                         "[HKEY_CURRENT_USER\\A\\D]\n\"W\"=\"2\"\n\"X\"=\"3\"\n"));
    ASSERT_TRUE(r.Import("REGEDIT4\n[-HKEY_CURRENT_USER\\A\\B]\n[HKEY_CURRENT_USER\\A\\D]\n"
                         "\"W\"=-\n"));
    EXPECT_FALSE(r.KeyExists("HKCU\\A\\B"));
    EXPECT_FALSE(r.KeyExists("HKCU\\A\\B\\C")) << "subkeys go with their key";
    EXPECT_EQ(r.FindValue("HKCU\\A\\D", "W"), nullptr);
    EXPECT_NE(r.FindValue("HKCU\\A\\D", "X"), nullptr);

    EXPECT_FALSE(r.Import("[HKEY_CURRENT_USER\\Z]\n\"V\"=\"1\"\n")) << "no header";
    EXPECT_FALSE(r.Import(""));
    EXPECT_FALSE(r.KeyExists("HKCU\\Z"));
    // Unknown roots and broken lines are skipped, the rest is read.
    ASSERT_TRUE(r.Import("REGEDIT4\n[NOWHERE\\K]\n\"V\"=\"1\"\n[HKEY_CURRENT_USER\\K]\n"
                         "\"Broken=\"x\n\"Bad\"=hex:zz\n\"Good\"=\"ok\"\n"));
    EXPECT_EQ(r.FindValue("HKCU\\K", "Bad"), nullptr);
    EXPECT_EQ(r.FindValue("HKCU\\K", "Good")->data, "ok");
}

} // namespace
} // namespace vuni
