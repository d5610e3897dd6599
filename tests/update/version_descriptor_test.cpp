#include "update/version_descriptor.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

TEST(VersionDescriptor, ReadsKeysBeforeTheFirstSection) {
    const std::string text = "; a comment line\r\n"
                             " \t; an indented comment\n"
                             "\tnew DATE \t= \t 16/03/2024 08:00 \t\r"
                             "NAME NEW VERSION=http://x/a=b.exe\r\n"
                             "Name New Version = second wins nothing\r\n"
                             "no equals sign here\n"
                             "[Section]\n"
                             "Other=1\n";
    const VersionDescriptor d = ParseVersionDescriptor(text);
    EXPECT_EQ(d.newDate, "16/03/2024 08:00");
    EXPECT_EQ(d.nameNewVersion, "http://x/a=b.exe") << "split at the first =, first key wins";
    EXPECT_EQ(DescriptorValue(text, "other"), "") << "keys after a section do not count";
    EXPECT_EQ(DescriptorValue("[S]\nNew Date=1", kKeyNewDate), "");
    EXPECT_EQ(DescriptorValue("New  Date=1\nNewDate=2", kKeyNewDate), "") << "inner blanks count";
    EXPECT_EQ(DescriptorValue("Key=", "key"), "");
    EXPECT_EQ(DescriptorValue("  Key  =v", "key"), "v");
    EXPECT_EQ(ParseVersionDescriptor("").nameNewVersion, "");
}

TEST(VersionDescriptor, ByteOrderMarkMeansUtf8) {
    // "é" in UTF-8, after the mark, reads as the single Windows-1252 byte.
    const std::string utf8 = "\xEF\xBB\xBFName New Version = http://x/\xC3\xA9t\xC3\xA9\r\n";
    EXPECT_EQ(ParseVersionDescriptor(utf8).nameNewVersion, "http://x/été");
    // Without the mark the bytes are already Windows-1252.
    EXPECT_EQ(ParseVersionDescriptor("Name New Version = été").nameNewVersion, "été");
    // A character the code page lacks, and broken sequences, cost one "?" each.
    EXPECT_EQ(DescriptorText("\xEF\xBB\xBF"
                             "a\xE2\x82\xAC\xE4\xB8\xAD\xC3z\xFF"),
              "a€?\?z?");
    EXPECT_EQ(DescriptorText("\xEF\xBB\xBF"), "");
}

} // namespace
} // namespace vuni
