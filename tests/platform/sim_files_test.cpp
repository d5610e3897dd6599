#include "platform/sim/sim_host.h"
#include "testing/shared_dir.h"
#include "testing/temp_dir.h"
#include "text/text.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

class SimFiles : public ::testing::Test {
protected:
    testing::TempDir dir;
    SimHost host{dir.Path()};
};

TEST_F(SimFiles, DrivesMapIntoTheSandboxAndNamesIgnoreCase) {
    // Linux names are UTF-8; the literals of the sources are Windows-1252.
    testing::WriteHostFile(dir.Path() / "c" / "Users" / Cp1252ToUtf8("Élise") / "Default.JSS",
                           "abc");
    EXPECT_EQ(host.FileSize("C:\\Users\\Élise\\Default.JSS"), 3);
    EXPECT_EQ(host.FileSize("c:\\USERS\\élise\\default.jss"), 3) << "Windows ignores case";
    EXPECT_EQ(host.FileSize("C:/Users/Élise/./x/../Default.JSS"), 3);
    EXPECT_TRUE(host.IsDirectory("C:\\"));
    EXPECT_TRUE(host.IsDirectory("C:\\users"));
    EXPECT_FALSE(host.IsFile("C:\\users"));
    EXPECT_EQ(host.FileSize("C:\\users"), -1);
    EXPECT_FALSE(host.IsDirectory("D:\\"));
    EXPECT_TRUE(host.ToHostPath("C:\\..\\..").empty()) << "nothing above a drive root";
}

TEST_F(SimFiles, RelativePathsFollowTheCurrentFolder) {
    host.SetCurrentFolder("C:\\Work");
    ASSERT_TRUE(host.CreateFolder("C:\\Work"));
    ASSERT_TRUE(host.WriteFile("a.txt", "xy", 2));
    EXPECT_EQ(host.FileSize("C:\\Work\\a.txt"), 2);
    EXPECT_EQ(host.FileSize("\\Work\\a.txt"), 2);
    EXPECT_EQ(host.CurrentFolder(), "C:\\Work");
}

TEST_F(SimFiles, WriteCopyReplaceDeleteAndList) {
    ASSERT_TRUE(host.CreateFolder("C:\\d"));
    EXPECT_FALSE(host.CreateFolder("C:\\d")) << "already exists";
    EXPECT_FALSE(host.CreateFolder("C:\\x\\y")) << "parent missing";
    ASSERT_TRUE(host.WriteFile("C:\\d\\b.txt", "hello", 5));
    ASSERT_TRUE(host.CopyFile("C:\\d\\b.txt", "C:\\d\\A.txt"));
    ASSERT_TRUE(host.CreateFolder("C:\\d\\fra"));
    std::string text;
    ASSERT_TRUE(host.ReadWholeFile("C:\\d\\a.txt", text));
    EXPECT_EQ(text, "hello");
    ASSERT_TRUE(host.ReplaceFile("C:\\d\\a.txt", "new", 3));
    ASSERT_TRUE(host.ReadWholeFile("C:\\d\\A.txt", text));
    EXPECT_EQ(text, "new");
    auto list = host.ListFolder("C:\\d");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].name, "A.txt");
    EXPECT_EQ(list[1].name, "b.txt");
    EXPECT_EQ(list[2].name, "fra");
    EXPECT_TRUE(list[2].isDirectory);
    EXPECT_TRUE(host.DeleteFile("C:\\d\\b.txt"));
    EXPECT_FALSE(host.DeleteFile("C:\\d\\b.txt"));
    EXPECT_FALSE(host.WriteFile("C:\\d\\fra", "x", 1)) << "a folder is not a file";
    EXPECT_FALSE(host.CopyFile("C:\\d\\missing", "C:\\d\\z"));
    EXPECT_TRUE(host.ListFolder("C:\\none").empty());
}

TEST_F(SimFiles, OpenReadSeeksAndReads) {
    ASSERT_TRUE(host.WriteFile("C:\\f.bin", "0123456789", 10));
    auto f = host.OpenRead("C:\\f.bin");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->Size(), 10);
    ASSERT_TRUE(f->Seek(7));
    char b[8] = {};
    EXPECT_EQ(f->Read(b, 8), 3);
    EXPECT_EQ(std::string(b, 3), "789");
    EXPECT_FALSE(host.OpenRead("C:\\"));
    EXPECT_FALSE(host.OpenRead("C:\\missing"));
}

TEST_F(SimFiles, MappedDriveReachesAnyFolderAndTempExists) {
    testing::TempDir other;
    testing::WriteHostFile(other.Path() / "x.txt", "1");
    host.MapDrive('Z', other.Path());
    EXPECT_EQ(host.FileSize("Z:\\x.txt"), 1);
    const std::string temp = host.TemporaryFolder();
    EXPECT_EQ(temp.back(), '\\');
    EXPECT_TRUE(host.IsDirectory(temp));
}

TEST_F(SimFiles, NamesChangedBehindTheHostAreFoundWithoutRegardToCase) {
    namespace fs = std::filesystem;
    const fs::path d = dir.Path() / "c" / "d";
    ASSERT_TRUE(host.CreateFolder("C:\\d"));
    ASSERT_TRUE(host.WriteFile("C:\\d\\a.txt", "a", 1));
    EXPECT_EQ(host.FileSize("C:\\D\\A.TXT"), 1); // the folder's names are now known
    // Written, replaced and renamed by another program, right after the lookup.
    testing::WriteHostFile(d / "New.TXT", "22");
    EXPECT_EQ(host.FileSize("c:\\d\\new.txt"), 2);
    fs::remove(d / "New.TXT");
    testing::WriteHostFile(d / "NEW.txt", "333");
    EXPECT_EQ(host.FileSize("C:\\d\\new.TXT"), 3);
    fs::rename(d / "NEW.txt", d / "Other.txt");
    EXPECT_FALSE(host.IsFile("C:\\d\\new.txt"));
    EXPECT_EQ(host.FileSize("C:\\d\\OTHER.TXT"), 3);
    // Names that differ by case alone (Linux allows them): the one named as asked, and
    // the other once that one is gone.
    testing::WriteHostFile(d / "x.txt", "1");
    testing::WriteHostFile(d / "X.TXT", "12");
    EXPECT_EQ(host.FileSize("C:\\d\\X.TXT"), 2);
    fs::remove(d / "X.TXT");
    EXPECT_EQ(host.FileSize("C:\\d\\X.TXT"), 1);
    // A folder renamed and another made where it was: nothing of the old one is seen there.
    testing::WriteHostFile(d / "Sub" / "Deep.txt", "1");
    EXPECT_TRUE(host.IsFile("C:\\d\\sub\\deep.TXT"));
    fs::rename(d, dir.Path() / "c" / "Moved");
    fs::create_directories(d / "SUB");
    EXPECT_FALSE(host.IsFile("C:\\d\\sub\\deep.txt"));
    EXPECT_TRUE(host.IsDirectory("C:\\d\\sub"));
    EXPECT_TRUE(host.IsFile("C:\\moved\\SUB\\DEEP.TXT"));
}

TEST_F(SimFiles, ReplaceFileKeepsTheNameFoundAndLeavesNothingWhenTheDiskIsFull) {
    ASSERT_TRUE(host.CreateFolder("C:\\d"));
    ASSERT_TRUE(host.WriteFile("C:\\d\\Keep.JSS", "old", 3));
    ASSERT_TRUE(host.ReplaceFile("C:\\D\\keep.jss", "newer", 5));
    auto list = host.ListFolder("C:\\d");
    ASSERT_EQ(list.size(), 1u) << "the existing file is replaced, not joined by another";
    EXPECT_EQ(list[0].name, "Keep.JSS");
    host.Faults().freeBytes = 4;
    EXPECT_FALSE(host.ReplaceFile("C:\\d\\keep.jss", "toolong", 7));
    EXPECT_FALSE(host.ReplaceFile("C:\\d\\fresh.jss", "toolong", 7));
    std::string text;
    ASSERT_TRUE(host.ReadWholeFile("C:\\d\\keep.jss", text));
    EXPECT_EQ(text, "newer") << "a failed replacement keeps the user's file";
    EXPECT_FALSE(host.IsFile("C:\\d\\fresh.jss")) << "nor a truncated new one";
    EXPECT_EQ(host.ListFolder("C:\\d").size(), 1u);
    host.Faults().freeBytes = -1;
    EXPECT_TRUE(host.ReplaceFile("C:\\d\\fresh.jss", "toolong", 7));
    EXPECT_EQ(host.FileSize("C:\\D\\FRESH.JSS"), 7);
}

// A full disk gets its space back from files removed, replaced or emptied, as a real one
// does: what a failed write took is there again for the next.
TEST_F(SimFiles, RemovedFilesGiveTheirSpaceBack) {
    ASSERT_TRUE(host.CreateFolder("C:\\d"));
    ASSERT_TRUE(host.WriteFile("C:\\d\\a.txt", "12345678", 8));
    host.Faults().freeBytes = 6;
    EXPECT_FALSE(host.ReplaceFile("C:\\d\\a.txt", "0123456789", 10));
    EXPECT_EQ(host.Faults().freeBytes, 6) << "the partial temporary file is removed";
    EXPECT_TRUE(host.ReplaceFile("C:\\d\\a.txt", "012345", 6));
    EXPECT_EQ(host.Faults().freeBytes, 8) << "the replaced file's 8 bytes are free again";
    EXPECT_FALSE(host.WriteFile("C:\\d\\b.txt", "0123456789", 10));
    EXPECT_EQ(host.Faults().freeBytes, 0);
    EXPECT_TRUE(host.DeleteFile("C:\\d\\b.txt"));
    EXPECT_TRUE(host.WriteFile("C:\\d\\a.txt", "abcdefghijklmn", 14))
        << "the 8 bytes of b.txt and the 6 of a.txt, emptied to be written again";
    EXPECT_EQ(host.Faults().freeBytes, 0);
    EXPECT_FALSE(host.CopyFile("C:\\d\\a.txt", "C:\\d\\c.txt"));
}

} // namespace
} // namespace vuni
