#include "log/log.h"
#include "merge/default_jss.h"
#include "platform/sim/sim_host.h"
#include "testing/temp_dir.h"
#include "text/text.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

// A simulated Windows whose next whole-file replacements can be made to fail.
class SaveFailingHost : public SimHost {
public:
    using SimHost::SimHost;
    int failures = 0;
    bool ReplaceFile(const std::string& path, const void* data, size_t size) override {
        if (failures > 0) {
            --failures;
            return false;
        }
        return SimHost::ReplaceFile(path, data, size);
    }
};

constexpr const char* kDest = "C:\\Users\\U\\JAWS\\";
constexpr const char* kDefault = "C:\\Users\\U\\JAWS\\Default.Jss";
const std::string kOriginal = "; Default\r\nScript SayLine ()\r\n  Say ()\r\nEndScript\r\n"
                              "Void Function Hello ()\r\n  Say ()\r\nEndFunction\r\n";

class UpdateDefaultJss : public ::testing::Test {
protected:
    void SetUp() override {
        host.CreateFolder("C:\\Users");
        host.CreateFolder("C:\\Users\\U");
        host.CreateFolder("C:\\Users\\U\\JAWS");
        context.entries = &entries;
        context.destinationPath = kDest;
        context.expandPlaceholders = [](const std::string& folder) {
            return ReplaceAllNoCase(folder, "%JawsScriptPath%\\", kDest);
        };
        context.prepareSettingsFile = [this](const std::string& path) {
            prepared.push_back(path);
            return prepareResult;
        };
    }

    // A merge file of the group: an entry, its row, and its installed copy.
    void AddMergeFile(const std::string& name, const std::string& content, bool checked = true,
                      int32_t group = 0, int32_t extraFlags = 0) {
        PackageEntry e;
        e.sourceName = name;
        e.destination = "%JawsScriptPath%\\";
        e.groupIndex = group;
        e.flags = EntryAssociable | extraFlags;
        entries.push_back(e);
        context.rows.push_back({static_cast<int>(entries.size() - 1), checked});
        if (!content.empty()) {
            Write(kDest + name, content);
        }
    }
    void AddPlainFile(const std::string& name) {
        PackageEntry e;
        e.sourceName = name;
        entries.push_back(e);
        context.rows.push_back({static_cast<int>(entries.size() - 1), true});
    }
    void Write(const std::string& path, const std::string& bytes) {
        ASSERT_TRUE(host.WriteFile(path, bytes.data(), bytes.size()));
    }
    std::string Read(const std::string& path) {
        std::string out;
        EXPECT_TRUE(host.ReadWholeFile(path, out)) << path;
        return out;
    }
    bool Run(bool removeMode) {
        installLog.Clear();
        progress.Clear();
        JssMerger merger(host, log);
        return merger.UpdateDefaultJss(context, removeMode);
    }

    testing::TempDir dir;
    SaveFailingHost host{dir.Path()};
    MemoryLineSink installLog;
    MemoryLineSink progress;
    Log log{installLog, progress};
    std::vector<PackageEntry> entries;
    MergeContext context;
    std::vector<std::string> prepared;
    bool prepareResult = true;
};

const std::string kHook = ";merge_tag Hook\n;merge_addendscript SayLine MyHook ()\n";

TEST_F(UpdateDefaultJss, AddThenRemove) {
    Write(kDefault, kOriginal);
    AddPlainFile("Other.jss");
    AddMergeFile("Hook.vunimerge.jss", kHook);
    ASSERT_TRUE(Run(false));
    EXPECT_EQ(progress.Text(), "\n* Mise à jour du Default.Jss\n- Fichier Default.Jss\n"
                               " Fichier chargeé !\n- Fichier de mise à jour Hook.vunimerge.jss\n"
                               " Fichier chargé !\n Mise à jour effectuée !\n"
                               "- Enregistrement du Default.Jss\n Fichier enregistré !\n");
    EXPECT_EQ(installLog.Text(), std::string("* Search Merge Default.Jss\n DefaultJSS = ") +
                                     kDefault + "\n MergeFile = " + kDest + "Hook.vunimerge.jss\n");
    EXPECT_EQ(prepared, std::vector<std::string>{kDefault});
    const std::string installed =
        "; Default\r\nInclude \"Hook.vunimerge.jss\" ; [ Vuni-Hook ]\r\nScript SayLine ()\r\n"
        "  Say ()\r\nMyHook () ; [ Vuni-Hook ]\r\nEndScript\r\n"
        "Void Function Hello ()\r\n  Say ()\r\nEndFunction\r\n";
    EXPECT_EQ(Read(kDefault), installed);

    // Installing again leaves a single copy.
    ASSERT_TRUE(Run(false));
    EXPECT_EQ(Read(kDefault), installed);

    ASSERT_TRUE(Run(true));
    EXPECT_EQ(progress.Text(), "\n* Nettoyage du Default.Jss\n- Fichier Default.Jss\n"
                               " Fichier chargeé !\n- Fichier de mise à jour Hook.vunimerge.jss\n"
                               " Fichier chargé !\n Nettoyage effectuée !\n"
                               "- Enregistrement du Default.Jss\n Fichier enregistré !\n");
    EXPECT_EQ(Read(kDefault), kOriginal);
}

TEST_F(UpdateDefaultJss, EndIncludesLeaveEmptyLinesBehind) {
    Write(kDefault, "Script A ()\r\nEndScript\r\n");
    AddMergeFile("E.vunimerge.jss", ";merge_tag E\n;merge_addendinclude Include \"e.jsb\"\n");
    ASSERT_TRUE(Run(false));
    EXPECT_EQ(Read(kDefault), "Include \"E.vunimerge.jss\" ; [ Vuni-E ]\r\nScript A ()\r\n"
                              "EndScript\r\n\r\nInclude \"e.jsb\" ; [ Vuni-E ]\r\n");
    ASSERT_TRUE(Run(false));
    EXPECT_EQ(Read(kDefault), "Include \"E.vunimerge.jss\" ; [ Vuni-E ]\r\nScript A ()\r\n"
                              "EndScript\r\n\r\n\r\nInclude \"e.jsb\" ; [ Vuni-E ]\r\n");
    ASSERT_TRUE(Run(true));
    EXPECT_EQ(Read(kDefault), "Script A ()\r\nEndScript\r\n\r\n\r\n");
}

TEST_F(UpdateDefaultJss, GroupWithoutMergeFileTouchesNothing) {
    AddPlainFile("Other.jss");
    AddMergeFile("Hook.vunimerge.jss", kHook, true, /*group=*/1);
    EXPECT_TRUE(Run(false));
    EXPECT_EQ(progress.LineCount(), 0u);
    EXPECT_EQ(installLog.Text(), "* Search Merge Default.Jss\n");
    EXPECT_TRUE(prepared.empty());
    EXPECT_FALSE(host.IsFile(kDefault));
}

TEST_F(UpdateDefaultJss, DeselectedMergeFilesAreOnlyReported) {
    Write(kDefault, kOriginal);
    AddMergeFile("A.vunimerge.jss", kHook, /*checked=*/false);
    AddMergeFile("B.vunimerge.jss", kHook, true, 0, EntryNoAssociation);
    host.failures = 1; // a save would fail the run
    EXPECT_TRUE(Run(false));
    EXPECT_EQ(progress.Text(), "\n* Mise à jour du Default.Jss\n- Fichier Default.Jss\n"
                               " Fichier chargeé !\n- Fichier de mise à jour A.vunimerge.jss\n"
                               " Fichier désélectionné par l'utilisateur\n"
                               "- Fichier de mise à jour B.vunimerge.jss\n"
                               " Fichier désélectionné par l'utilisateur\n");
    EXPECT_EQ(Read(kDefault), kOriginal);
}

TEST_F(UpdateDefaultJss, FailuresBeforeTheMerge) {
    AddMergeFile("Hook.vunimerge.jss", kHook);
    // No default script and nothing to start from.
    EXPECT_FALSE(Run(false));
    EXPECT_EQ(progress.Lines().back(), "! Erreur durant le chargement");
    EXPECT_FALSE(host.IsFile(kDefault));

    Write(kDefault, kOriginal);
    prepareResult = false;
    EXPECT_FALSE(Run(false));
    EXPECT_EQ(progress.Lines().back(), "! Fichier est inaccéssible");
    prepareResult = true;

    // Remove mode needs the installed merge file.
    host.DeleteFile(kDest + std::string("Hook.vunimerge.jss"));
    EXPECT_FALSE(Run(true));
    EXPECT_EQ(progress.Text(), "\n* Nettoyage du Default.Jss\n- Fichier Default.Jss\n"
                               " Fichier chargeé !\n- Fichier de mise à jour Hook.vunimerge.jss\n"
                               "! Fichier inaccéssible\n");
    EXPECT_EQ(Read(kDefault), kOriginal);
}

TEST_F(UpdateDefaultJss, ConflictLeavesTheFileUnchanged) {
    const std::string taken = "Script SayLine (); [ VuniComment-Other ]\r\n"
                              "; [ VuniComment-Other ]  Say ()\r\nEndScript\r\n";
    Write(kDefault, taken);
    AddMergeFile("Hook.vunimerge.jss", kHook);
    AddMergeFile("Rep.vunimerge.jss", ";merge_tag Rep\n;merge_replacescript SayLine R ()\n");
    AddMergeFile("Late.vunimerge.jss", ";merge_tag Late\n");
    EXPECT_FALSE(Run(false));
    EXPECT_EQ(progress.Text(),
              "\n* Mise à jour du Default.Jss\n- Fichier Default.Jss\n Fichier chargeé !\n"
              "- Fichier de mise à jour Hook.vunimerge.jss\n Fichier chargé !\n"
              " Mise à jour effectuée !\n- Fichier de mise à jour Rep.vunimerge.jss\n"
              " Fichier chargé !\nLe script \"sayline\" est déja utilisé par other\n\n"
              "- Fichier de mise à jour Late.vunimerge.jss\n Fichier chargé !\n"
              " Mise à jour effectuée !\n");
    EXPECT_EQ(Read(kDefault), taken);
}

TEST_F(UpdateDefaultJss, FailedSaveKeepsTheFileAndRestoresOnlyAnEmptyOne) {
    Write(kDefault, kOriginal);
    AddMergeFile("Hook.vunimerge.jss", kHook);
    host.failures = 1;
    EXPECT_FALSE(Run(false));
    EXPECT_EQ(progress.Lines().back(), "! Erreur durant l'enregistrement");
    EXPECT_EQ(Read(kDefault), kOriginal);

    // The restore copy, an older text, never goes over the intact file.
    Write(kDefault + std::string(".bak"), "; restored\r\n");
    host.failures = 1;
    EXPECT_FALSE(Run(false));
    EXPECT_EQ(Read(kDefault), kOriginal);

    // Over an empty one it is put back; an empty restore copy is not.
    Write(kDefault, "");
    Write(kDefault + std::string(".bak"), "");
    host.failures = 1;
    EXPECT_FALSE(Run(false));
    EXPECT_EQ(Read(kDefault), "");
    Write(kDefault + std::string(".bak"), "; restored\r\n");
    host.failures = 1;
    EXPECT_FALSE(Run(false));
    EXPECT_EQ(Read(kDefault), "; restored\r\n");
}

TEST_F(UpdateDefaultJss, TwoMergeFilesSeeEachOthersWork) {
    Write(kDefault, kOriginal);
    AddMergeFile("Hook.vunimerge.jss", kHook);
    AddMergeFile("Fn.vunimerge.jss", ";merge_tag Fn\n;merge_replacefunction Hello Bye ()\n");
    ASSERT_TRUE(Run(false));
    EXPECT_EQ(Read(kDefault), "; Default\r\nInclude \"Hook.vunimerge.jss\" ; [ Vuni-Hook ]\r\n"
                              "Include \"Fn.vunimerge.jss\" ; [ Vuni-Fn ]\r\n"
                              "Script SayLine ()\r\n  Say ()\r\nMyHook () ; [ Vuni-Hook ]\r\n"
                              "EndScript\r\nVoid Function Hello (); [ VuniComment-Fn ]\r\n"
                              "; [ VuniComment-Fn ]  Say ()\r\nBye () ; [ Vuni-Fn ]\r\n"
                              "EndFunction\r\n\r\n");
    // Each preparation appends a line feed and the save drops only one: with two merge
    // files every run leaves one more empty line at the end.
    ASSERT_TRUE(Run(true));
    EXPECT_EQ(Read(kDefault), kOriginal + "\r\n\r\n");
}

} // namespace
} // namespace vuni
