// Every operation on a disk that fills up at every possible point, and on read-only
// folders: the user's files are either unchanged or fully replaced, never truncated or
// lost, and the progress box says what failed.
#include "operations/alias_update.h"
#include "operations/install_files.h"
#include "ops_world.h"

#include <algorithm>
#include <gtest/gtest.h>

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

// The user's files before a run, and the content each may have after it.
struct Expectation {
    std::string path;
    std::string before;
    std::string after;
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
            w.Load(Package());
            for (const Expectation& e : files) {
                w.Put(e.path, e.before);
            }
            w.host.Faults().freeBytes = budget;
            succeeded = op(w);
            for (const Expectation& e : files) {
                const std::string now = w.Get(e.path);
                EXPECT_TRUE(now == e.before || now == e.after)
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
