// Every operation on a disk that fills up at every possible point, and on read-only
// folders: the user's files are either unchanged or fully replaced, never truncated or
// lost, and the progress box says what failed.
#include "jaws/host_items.h"
#include "merge/default_jss.h"
#include "operations/alias_update.h"
#include "operations/install_files.h"
#include "ops_world.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace vuni {
namespace {

using testing::kScriptPath;

testing::TestPackage Package() {
    testing::TestPackage p = testing::SamplePackage();
    p.groups = {{"10", "MonAppli"}};
    p.files.clear();
    const std::pair<const char*, const char*> files[] = {
        {"A.jss", "new content of A, rather longer than the old one\r\n"},
        {"B.jsm", "new B\r\n"},
        {"C.jsd", "new C, a third file\r\n"}};
    for (const auto& [name, content] : files) {
        testing::TestFile f;
        f.sourceName = name;
        f.content = content;
        p.files.push_back(f);
    }
    return p;
}

const std::string kMissing = "<missing>"; // OpsWorld::Get of a file that is not there

// A package with one merge file for the default script.
testing::TestPackage MergePackage() {
    testing::TestPackage p = Package();
    p.files.clear();
    testing::TestFile f;
    f.sourceName = "Hook.vunimerge.jss";
    f.flags = EntryAssociable;
    f.content = ";merge_tag Hook\r\n;merge_addendscript SayLine MyHook ()\r\n"
                ";merge_addendinclude \"HookEnd.jsh\"\r\n";
    p.files.push_back(f);
    return p;
}

// The default script's update, wired to the operations as the installer wires it.
bool UpdateDefaultJss(testing::OpsWorld& w) {
    MergeContext merge;
    merge.entries = &w.package.entries;
    for (const OperationRow& row : w.ctx.rows) {
        merge.rows.push_back({row.entryIndex, row.checked});
    }
    merge.chosenGroup = w.ctx.chosenGroup;
    merge.destinationPath = w.folder.scriptPath;
    merge.expandPlaceholders = w.ctx.expandPlaceholders;
    merge.prepareSettingsFile = [&w](const std::string& path) {
        return PrepareSettingsFile(w.ctx, path);
    };
    JssMerger merger(w.host, w.log);
    return merger.UpdateDefaultJss(merge, false);
}

// The user's files before a run (kMissing: not there), and the content each may have after
// it: as before, as after, or one of others.
struct Expectation {
    std::string path;
    std::string before;
    std::string after;
    std::vector<std::string> others = {};
};

class Faults : public ::testing::Test {
protected:
    // Runs op on fresh machines whose disk takes 0, 1, 2, ... bytes until the operation
    // succeeds, checking the user's files after each run.
    template <typename Operation>
    void OnAFillingDisk(const std::vector<Expectation>& files, Operation op,
                        const std::vector<std::string>& failureTexts) {
        bool succeeded = false;
        for (int64_t budget = 0; !succeeded && budget < 4096; ++budget) {
            testing::OpsWorld w;
            w.Load(package);
            for (const Expectation& e : files) {
                if (e.before != kMissing) {
                    w.Put(e.path, e.before);
                }
            }
            w.host.Faults().freeBytes = budget;
            succeeded = op(w);
            for (const Expectation& e : files) {
                const std::string now = w.Get(e.path);
                seen[e.path].insert(now);
                EXPECT_TRUE(now == e.before || now == e.after ||
                            std::find(e.others.begin(), e.others.end(), now) != e.others.end())
                    << e.path << " with " << budget << " free bytes holds \"" << now << "\"";
            }
            if (!succeeded) {
                const std::string progress = w.Progress();
                EXPECT_TRUE(std::any_of(failureTexts.begin(), failureTexts.end(),
                                        [&](const std::string& text) {
                                            return progress.find(text) != std::string::npos;
                                        }))
                    << "with " << budget << " free bytes:\n"
                    << w.Progress();
            }
            for (auto& it : std::filesystem::recursive_directory_iterator(w.dir.Path())) {
                EXPECT_EQ(it.path().string().find(".vuni-new"), std::string::npos) << it.path();
            }
        }
        EXPECT_TRUE(succeeded);
    }

    // What the update makes of the default script on a disk with room enough.
    std::string Merged(const std::string& defaultScript) {
        testing::OpsWorld w;
        w.Load(package);
        w.Put(kScriptPath + kDefaultScript, defaultScript);
        w.Put(kScriptPath + package.files[0].sourceName, package.files[0].content);
        EXPECT_TRUE(UpdateDefaultJss(w)) << w.Progress();
        return w.Get(kScriptPath + kDefaultScript);
    }

    testing::TestPackage package = Package();
    std::map<std::string, std::set<std::string>> seen; // every content each file was left with
};

TEST_F(Faults, InstallNeverTruncatesAFileItReplaces) {
    const testing::TestPackage p = Package();
    OnAFillingDisk({{kScriptPath + "A.jss", "old A", p.files[0].content},
                    {kScriptPath + "B.jsm", "old B, the user's own", p.files[1].content}},
                   [](testing::OpsWorld& w) { return InstallFiles(w.ctx, false); },
                   {"! Erreur durant l'installation fichier"});
}

TEST_F(Faults, InstallAfterBackupKeepsFilesAndOlderBackupsWhole) {
    const testing::TestPackage p = Package();
    const std::string bak = kScriptPath + "Bak\\MonAppliScripts\\";
    OnAFillingDisk({{kScriptPath + "A.jss", "old A", p.files[0].content},
                    {kScriptPath + "C.jsd", "old C", p.files[2].content},
                    {bak + "A.jss", "backup of an earlier run", "old A"},
                    {bak + "C.jsd", "older C", "old C"}},
                   [](testing::OpsWorld& w) { return InstallFiles(w.ctx, true); },
                   {"! Erreur durant l'installation fichier"});
}

TEST_F(Faults, CopyOverAnEarlierCopyNeverTruncatesIt) {
    const testing::TestPackage p = Package();
    const std::string base = "C:\\Partage\\MonAppli Scripts 2.1Jaws 10\\";
    OnAFillingDisk({{base + "A.jss", "earlier copy of A", p.files[0].content}},
                   [](testing::OpsWorld& w) {
                       w.folder.scriptPath = "C:\\Partage\\";
                       return CopyFilesToFolder(w.ctx);
                   },
                   {"! Erreur durant la copie du fichier"});
}

TEST_F(Faults, AliasUpdateReplacesConfigNamesWholeOrNotAtAll) {
    const std::string before = "[ConfigNames]\r\nword=Word\r\n";
    const std::string after = "[ConfigNames]\r\nMonAppli=MonAppliScripts\r\nword=Word\r\n";
    const std::string bak = kScriptPath + "Bak\\MonAppliScripts\\ConfigNames.Ini";
    OnAFillingDisk({{kScriptPath + "ConfigNames.Ini", before, after},
                    {bak, "backup of an earlier run", before}},
                   [](testing::OpsWorld& w) { return AliasUpdate(w.ctx, false); },
                   {"! Le fichier ConfigNames.Ini est introuvable",
                    "! Erreur durant l'écriture du fichier ConfigNames.Ini"});
}

// The default script's update: the backup of the user's file, then the save. A failed save
// leaves the file whole (the temporary file gives its space back), and the older restore
// copy beside it must not then be put over it.
TEST_F(Faults, DefaultScriptIsBackedUpAndSavedWholeOrNotAtAll) {
    package = MergePackage();
    const std::string before = "; Default\r\nScript SayLine ()\r\n  Say ()\r\nEndScript\r\n";
    const std::string after = Merged(before);
    ASSERT_NE(after.find("MyHook ()"), std::string::npos) << after;
    const std::string path = kScriptPath + kDefaultScript;
    const std::string older = "; older\r\n";
    OnAFillingDisk(
        {{path, before, after},
         {path + ".bak", older, older},
         {kScriptPath + "Bak\\MonAppliScripts\\" + kDefaultScript, "backup of an earlier run",
          before},
         {kScriptPath + "Hook.vunimerge.jss", package.files[0].content, package.files[0].content}},
        UpdateDefaultJss, {"! Fichier est inaccéssible", "! Erreur durant l'enregistrement"});
    EXPECT_GT(seen[path].size(), 1u) << "no run failed at the save";
}

// A user without a default script of their own gets the shared one first: the copy is whole
// or not there, and the shared file is left alone.
TEST_F(Faults, FirstCopyFromTheSharedSettingsIsWholeOrNotThere) {
    package = MergePackage();
    const std::string shared = "; shared\r\nScript SayLine ()\r\nEndScript\r\n";
    const std::string after = Merged(shared);
    const std::string sharedPath = testing::kSharedRoot + "11.0\\Settings\\fra\\" + kDefaultScript;
    const std::string path = kScriptPath + kDefaultScript;
    OnAFillingDisk(
        {{path, kMissing, after, {shared}},
         {sharedPath, shared, shared},
         {kScriptPath + "Hook.vunimerge.jss", package.files[0].content, package.files[0].content}},
        UpdateDefaultJss, {"! Fichier est inaccéssible", "! Erreur durant l'enregistrement"});
    EXPECT_EQ(seen[path], (std::set<std::string>{kMissing, shared, after}));
}

// An empty default script is what the restore copy is for: after a failed save it is put
// back, whole, when the disk has room for it.
TEST_F(Faults, EmptyDefaultScriptIsRestoredWholeAfterAFailedSave) {
    package = MergePackage();
    const std::string after = Merged("");
    const std::string path = kScriptPath + kDefaultScript;
    const std::string restore = "; kept\r\n";
    ASSERT_LT(restore.size(), after.size());
    OnAFillingDisk(
        {{path, "", after, {restore}},
         {path + ".bak", restore, restore},
         {kScriptPath + "Hook.vunimerge.jss", package.files[0].content, package.files[0].content}},
        UpdateDefaultJss, {"! Erreur durant l'enregistrement"});
    EXPECT_EQ(seen[path], (std::set<std::string>{"", restore, after}));
}

TEST_F(Faults, ReadOnlyFoldersLeaveEverythingAsItWasAndSaySo) {
    testing::OpsWorld w;
    w.Load(Package());
    w.Put(kScriptPath + "A.jss", "old A");
    w.Put(kScriptPath + "ConfigNames.Ini", "[ConfigNames]\r\n");
    w.host.Faults().readOnly = {kScriptPath};
    EXPECT_FALSE(InstallFiles(w.ctx, true));
    EXPECT_FALSE(AliasUpdate(w.ctx, false));
    EXPECT_EQ(w.Get(kScriptPath + "A.jss"), "old A");
    EXPECT_EQ(w.Get(kScriptPath + "ConfigNames.Ini"), "[ConfigNames]\r\n");
    const std::string progress = w.Progress();
    EXPECT_NE(progress.find("- Fichier A.jss\n! Le dossier de sauvegarde est inaccéssible\n"
                            "! Erreur durant l'installation fichier\n"),
              std::string::npos);
    EXPECT_NE(progress.find("- Fichier B.jsm\n! Erreur durant l'installation fichier\n"),
              std::string::npos);
    EXPECT_NE(progress.find("! Le fichier ConfigNames.Ini est introuvable"), std::string::npos);

    // Only the backup folder read-only: the install goes on, the file is replaced whole.
    w.host.Faults().readOnly = {kScriptPath + "Bak"};
    w.progress.Clear();
    EXPECT_TRUE(InstallFiles(w.ctx, true));
    EXPECT_EQ(w.Get(kScriptPath + "A.jss"), Package().files[0].content);
}

} // namespace
} // namespace vuni
