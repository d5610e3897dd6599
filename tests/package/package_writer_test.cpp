#include "package/marker.h"
#include "package/package_writer.h"
#include "package/scramble.h"

#include <gtest/gtest.h>
#include <string>

namespace vuni {
namespace {

class Writer : public ::testing::Test {
protected:
    std::string out;
    PackageWriter writer{[this](const void* data, size_t size) {
        out.append(static_cast<const char*>(data), size);
        return true;
    }};
};

TEST_F(Writer, MarkerLineThenFieldsInLayoutOrder) {
    PackageInfo info;
    info.date = 0x01020304;
    info.applicationName = "ab";
    info.flags = 0x22;
    info.comments = "c";
    ASSERT_TRUE(writer.WriteHeader(info, {{"10", ""}}));
    const std::string m = PackageMarker();
    ASSERT_EQ(out.substr(0, 28), "\n" + m + "\n");
    EXPECT_EQ(out.substr(28, 4), std::string("\x04\x03\x02\x01", 4));
    std::string name = "ab";
    Scramble(name.data(), 2);
    EXPECT_EQ(out.substr(32, 6), std::string("\x02\0\0\0", 4) + name);
    // 11 empty texts, the flags, two empty reserved texts, then the comments.
    const size_t flagsAt = 38 + 11 * 4;
    EXPECT_EQ(out.substr(flagsAt, 4), std::string("\x22\0\0\0", 4));
    std::string c = "c";
    Scramble(c.data(), 1);
    EXPECT_EQ(out.substr(flagsAt + 12, 5), std::string("\x01\0\0\0", 4) + c);
    // The group, then the empty name that ends the list.
    EXPECT_EQ(out.substr(out.size() - 8), std::string("\0\0\0\0\0\0\0\0", 8));
    EXPECT_EQ(writer.BytesWritten(), static_cast<int64_t>(out.size()));
}

TEST_F(Writer, StoredDataIsScrambledFromItsFirstBytePackedDataIsNot) {
    PackageEntry e;
    e.sourceName = "x";
    e.plainSize = 4;
    ASSERT_TRUE(writer.WriteEntry(e, "abcd"));
    EXPECT_EQ(out.substr(out.size() - 4), "\x92\x98\x36\x83");
    out.clear();
    e.plainSize = 100;
    ASSERT_TRUE(writer.WriteEntry(e, "JCxy"));
    EXPECT_EQ(out.substr(out.size() - 4), "JCxy");
    EXPECT_EQ(out.substr(out.size() - 12, 4), std::string("\x04\0\0\0", 4)) << "stored size";
}

TEST_F(Writer, RefusesWhatTheReaderWouldMisread) {
    // An empty group name would end the group list early.
    EXPECT_FALSE(writer.WriteHeader(PackageInfo{}, {{"10", "a"}, {"", "b"}}));
    PackageEntry e;
    e.plainSize = -1;
    EXPECT_FALSE(Writer::writer.WriteEntry(e, ""));
}

TEST(WriterSink, AFailingSinkStopsTheWrite) {
    int calls = 0;
    PackageWriter w([&calls](const void*, size_t) { return ++calls < 3; });
    EXPECT_FALSE(w.WriteHeader(PackageInfo{}, {{"10", ""}}));
    EXPECT_EQ(calls, 3);
}

} // namespace
} // namespace vuni
