#include "log/log.h"
#include "merge/default_jss.h"
#include "package/marker.h"
#include "package/package.h"
#include "platform/sim/sim_host.h"
#include "testing/package_builder.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

using testing::TestFile;

TestFile MergeFileEntry(const std::string& name, const std::string& content, int32_t group = 0) {
    TestFile f;
    f.sourceName = name;
    f.groupIndex = group;
    f.flags = EntryAssociable;
    f.content = content;
    return f;
}

class CheckSensitiveFunctions : public ::testing::Test {
protected:
    // Builds the installer, reads it back, and wires the context to the real extraction.
    void Load(const std::vector<TestFile>& files, std::vector<bool> checked) {
        testing::TestPackage p = testing::SamplePackage();
        p.groups.push_back({"11", "x"});
        p.files.insert(p.files.end(), files.begin(), files.end());
        const std::string bytes = testing::BuildInstallerBytes(p);
        ASSERT_TRUE(host.WriteFile("C:\\vuni.exe", bytes.data(), bytes.size()));
        state.ownPath = "C:\\vuni.exe";
        state.marker = PackageMarker();
        ASSERT_EQ(LoadPackage(state, host, log, state.ownPath), LoadPackageResult::Success);
        context.entries = &state.entries;
        for (size_t k = 0; k < state.entries.size(); ++k) {
            const bool on = k < 2 || checked[k - 2];
            context.rows.push_back({static_cast<int>(k), on});
        }
        context.extractToMemory = [this](int index, std::string& content) {
            extracted.push_back(index);
            const auto extractedBytes = ExtractEntryContent(state, host, log, index);
            if (extractedBytes) {
                content.assign(extractedBytes->begin(), extractedBytes->end());
            }
            return extractedBytes.has_value();
        };
        context.showMessage = [this](const std::string& title, const std::string& text) {
            boxes.push_back(title + "|" + text);
        };
        progress.Clear();
    }
    void Run() {
        JssMerger merger(host, log);
        merger.CheckSensitiveFunctions(context);
    }

    testing::TempDir dir;
    SimHost host{dir.Path()};
    MemoryLineSink installLog;
    MemoryLineSink progress;
    Log log{installLog, progress};
    PackageState state;
    MergeContext context;
    std::vector<int> extracted;
    std::vector<std::string> boxes;
};

const std::string kBox = "Attention|Detection de l'utilisation de fonction sensible à la "
                         "sécurité.\nEtes-vous sur de l'intégrité de ces scripts ?";

TEST_F(CheckSensitiveFunctions, ReportsEachMergeFileAndWarnsOnce) {
    Load({MergeFileEntry("A.vunimerge.jss", ";merge_addendfunction KeyPressedEvent MyKeys ()\r\n"
                                            ";merge_addendfunction keypressedevent MyKeys2 ()\r\n"
                                            ";merge_addendfunction SayLine X ()\r\n"),
          MergeFileEntry("B.vunimerge.jss", ";merge_addendfunction KEYPRESSEDEVENT K ()\n")},
         {true, true});
    Run();
    EXPECT_EQ(progress.Text(),
              "\n- Adaptation de fonctions sensible à la sécurité par A.vunimerge.jss\n"
              "Function KeyPressedEvent\nFunction KeyPressedEvent\n\n"
              "\n- Adaptation de fonctions sensible à la sécurité par B.vunimerge.jss\n"
              "Function KeyPressedEvent\n\n");
    EXPECT_EQ(boxes, std::vector<std::string>{kBox});
    // Showing the start page again repeats everything.
    Run();
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(progress.LineCount(), 12u);
}

TEST_F(CheckSensitiveFunctions, OnlyAddAtEndFunctionDirectivesCount) {
    Load({MergeFileEntry("R.vunimerge.jss", ";merge_replacefunction KeyPressedEvent MyKeys ()\n"
                                            ";merge_addendscript KeyPressedEvent MyKeys ()\n"),
          MergeFileEntry("E.vunimerge.jss", "")},
         {true, true});
    Run();
    EXPECT_EQ(progress.LineCount(), 0u);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(CheckSensitiveFunctions, ExtractsOnlyCheckedMergeFilesOfTheGroup) {
    TestFile refused =
        MergeFileEntry("N.vunimerge.jss", ";merge_addendfunction KeyPressedEvent K ()\n");
    refused.flags |= EntryNoAssociation;
    Load({MergeFileEntry("U.vunimerge.jss", ";merge_addendfunction KeyPressedEvent K ()\n"),
          MergeFileEntry("G.vunimerge.jss", ";merge_addendfunction KeyPressedEvent K ()\n", 1),
          refused},
         {false, true, true});
    Run();
    // The refused association is still checked; the sample package's plain files and the
    // unchecked row and the other group's file are never extracted.
    EXPECT_EQ(extracted, std::vector<int>{4});
    ASSERT_EQ(progress.LineCount(), 3u);
    EXPECT_EQ(progress.Lines()[1],
              "- Adaptation de fonctions sensible à la sécurité par N.vunimerge.jss");
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(CheckSensitiveFunctions, AnEntryThatCannotBeExtractedIsSkipped) {
    TestFile damaged =
        MergeFileEntry("D.vunimerge.jss", ";merge_addendfunction KeyPressedEvent K ()\n");
    damaged.useOverride = true;
    damaged.storedOverride = "\x01\x02";
    Load({damaged}, {true});
    Run();
    EXPECT_EQ(extracted, std::vector<int>{2});
    EXPECT_EQ(progress.LineCount(), 0u);
    EXPECT_TRUE(boxes.empty());
}

} // namespace
} // namespace vuni
