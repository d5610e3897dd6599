#include "operations/install_files.h"
#include "ops_world.h"
#include "text/text.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

using testing::kScriptPath;
using testing::OpsWorld;

testing::TestFile File(std::string name, std::string destination, std::string content,
                       int32_t flags = 0, int32_t group = 0) {
    testing::TestFile f;
    f.sourceName = std::move(name);
    f.destination = std::move(destination);
    f.content = std::move(content);
    f.flags = flags;
    f.groupIndex = group;
    return f;
}

// Group "10" with a script, an optional file, a file in a sub-folder and one in My
// Documents; group "11" with a file that must never be touched.
testing::TestPackage FourFiles() {
    testing::TestPackage p = testing::SamplePackage();
    p.groups = {{"10", "MonAppli"}, {"11", ""}};
    p.files = {File("A.jss", "%JawsScriptPath%\\", "script A\r\n", EntryCompilable),
               File("B.jsm", "%JawsScriptPath%\\", "const B\r\n", EntryOptional),
               File("C.txt", "%JawsScriptPath%\\Sub\\", std::string("C\0é", 3)),
               File("D.doc", "%MyDoc%\\Docs\\", "doc D"),
               File("E.jss", "%JawsScriptPath%\\", "other group", 0, 1)};
    return p;
}

class CopyToFolder : public ::testing::Test {
protected:
    void SetUp() override {
        w.folder = SettingsFolder{};
        w.folder.label = "Choix d'un dossier";
        w.folder.kind = FreeFolder;
        w.Load(FourFiles());
    }
    OpsWorld w;
};

TEST_F(CopyToFolder, WritesSelectedFilesBelowTheSelfDescribingBaseFolder) {
    w.folder.scriptPath = "D:\\Partage\\";
    std::filesystem::create_directories(w.dir.Path() / "d" / "Partage");
    EXPECT_EQ(CopyBaseFolder(w.ctx), "D:\\Partage\\MonAppli Scripts 2.1Jaws 10\\");
    EXPECT_TRUE(CopyFilesToFolder(w.ctx));

    const std::string base = "D:\\Partage\\MonAppli Scripts 2.1Jaws 10\\";
    EXPECT_EQ(w.Get(base + "A.jss"), "script A\r\n");
    EXPECT_EQ(w.Get(base + "Sub\\C.txt"), std::string("C\0é", 3));
    EXPECT_EQ(w.Get(base + "Disque C\\Users\\a\\Documents\\Docs\\D.doc"), "doc D");
    EXPECT_FALSE(w.Exists(base + "B.jsm"));
    EXPECT_FALSE(w.Exists(base + "E.jss"));
    EXPECT_FALSE(w.Exists(testing::kMyDocuments + "Docs\\D.doc"));
    EXPECT_EQ(w.Progress(), "\n* Copier les fichiers dans un dossier\n"
                            "- Fichier A.jss\n Copié avec succés !\n"
                            "- Fichier B.jsm\n Non sélectionné !\n"
                            "- Fichier C.txt\n Copié avec succés !\n"
                            "- Fichier D.doc\n Copié avec succés !\n");
    EXPECT_EQ(w.install.Lines()[0], "* Copy file");
    EXPECT_EQ(w.install.Lines()[1], "Base Folder " + base);
}

TEST_F(CopyToFolder, StartFolderWithoutFinalBackslashIsJoinedAsItStands) {
    w.folder.scriptPath = "D:\\Partage";
    std::filesystem::create_directories(w.dir.Path() / "d");
    EXPECT_TRUE(CopyFilesToFolder(w.ctx));
    EXPECT_EQ(w.Get("D:\\PartageMonAppli Scripts 2.1Jaws 10\\A.jss"), "script A\r\n");
}

TEST_F(CopyToFolder, AnUnreachableFolderFailsThatFileOnlyAndNamesTheFolder) {
    w.folder.scriptPath = "D:\\Partage\\";
    const std::string base = "D:\\Partage\\MonAppli Scripts 2.1Jaws 10\\";
    w.Put(base + "Sub", "a file where a folder should be");
    EXPECT_FALSE(CopyFilesToFolder(w.ctx));
    EXPECT_NE(w.Progress().find("- Fichier C.txt\n Dossier de destination inaccéssible !\r\n" +
                                base + "\\Sub\\\n- Fichier D.doc\n Copié avec succés !\n"),
              std::string::npos);
    EXPECT_EQ(w.Get(base + "A.jss"), "script A\r\n");
}

TEST_F(CopyToFolder, AFailedExtractionIsReportedAndTheOthersGoOn) {
    w.folder.scriptPath = "D:\\Partage\\";
    const std::string base = "D:\\Partage\\MonAppli Scripts 2.1Jaws 10\\";
    std::filesystem::create_directories(w.Host(base) / "A.jss"); // a folder in the way
    EXPECT_FALSE(CopyFilesToFolder(w.ctx));
    EXPECT_NE(w.Progress().find("- Fichier A.jss\n! Erreur durant la copie du fichier\n"),
              std::string::npos);
    EXPECT_EQ(w.Get(base + "Sub\\C.txt"), std::string("C\0é", 3));
}

class Install : public ::testing::Test {
protected:
    void SetUp() override { w.Load(FourFiles()); }
    std::string Backup(const std::string& relative) {
        return kScriptPath + "Bak\\MonAppliScripts\\" + relative;
    }
    OpsWorld w;
};

TEST_F(Install, WritesCheckedFilesReplacingOldOnesAndReportsEveryRowOfTheGroup) {
    w.Put(kScriptPath + "a.JSS", "old A");
    w.Put(kScriptPath + "B.jsm", "old B");
    EXPECT_TRUE(InstallFiles(w.ctx, false));
    EXPECT_EQ(w.Get(kScriptPath + "A.jss"), "script A\r\n");
    EXPECT_EQ(w.Get(kScriptPath + "B.jsm"), "old B");
    EXPECT_EQ(w.Get(kScriptPath + "Sub\\C.txt"), std::string("C\0é", 3));
    EXPECT_EQ(w.Get(testing::kMyDocuments + "Docs\\D.doc"), "doc D");
    EXPECT_FALSE(w.Exists(kScriptPath + "E.jss"));
    EXPECT_FALSE(w.Exists(kScriptPath + "Bak"));
    EXPECT_EQ(w.Progress(), "\n* Installer les fichiers\n"
                            "- Fichier A.jss\n Installé avec succés !\n"
                            "- Fichier B.jsm\n Non séléctionné !\n"
                            "- Fichier C.txt\n Installé avec succés !\n"
                            "- Fichier D.doc\n Installé avec succés !\n");
    EXPECT_EQ(w.install.Lines()[0], "- A.jss of Jaws 10");
}

TEST_F(Install, BackupFirstOnAnEmptyDestinationMakesNoBackup) {
    EXPECT_TRUE(InstallFiles(w.ctx, true));
    EXPECT_FALSE(w.Exists(kScriptPath + "Bak"));
    EXPECT_EQ(w.progress.Lines()[1],
              "* Installer les fichiers après la sauvegarde des anciens scrips");
    EXPECT_EQ(w.progress.Lines()[3], " Installé avec succés !");
}

TEST_F(Install, BackupFirstSavesEveryReplacedFileCheckedOrNot) {
    w.Put(kScriptPath + "A.jss", "old A");
    w.Put(kScriptPath + "B.jsm", "old B");
    w.Put(kScriptPath + "Sub\\C.txt", "old C");
    std::filesystem::create_directories(w.Host(testing::kMyDocuments + "Docs\\D.doc"));
    EXPECT_FALSE(InstallFiles(w.ctx, true)); // D.doc is a folder: its install fails
    EXPECT_EQ(w.Get(Backup("A.jss")), "old A");
    EXPECT_EQ(w.Get(Backup("B.jsm")), "old B");
    EXPECT_EQ(w.Get(Backup("Sub\\C.txt")), "old C");
    EXPECT_FALSE(w.Exists(Backup("Disque C\\Users\\a\\Documents\\Docs\\D.doc")));
    EXPECT_EQ(w.Get(kScriptPath + "B.jsm"), "old B");
    EXPECT_NE(w.Progress().find("- Fichier B.jsm\n Non séléctionné !\n"), std::string::npos);
    EXPECT_NE(w.Progress().find("- Fichier D.doc\n! Erreur durant l'installation fichier\n"),
              std::string::npos);
}

TEST_F(Install, ASecondRunBacksUpWhatTheFirstRunInstalled) {
    w.Put(kScriptPath + "A.jss", "user's A");
    EXPECT_TRUE(InstallFiles(w.ctx, true));
    EXPECT_EQ(w.Get(Backup("A.jss")), "user's A");
    EXPECT_TRUE(InstallFiles(w.ctx, true));
    EXPECT_EQ(w.Get(Backup("A.jss")), "script A\r\n");
    EXPECT_EQ(w.Get(Backup("Sub\\C.txt")), std::string("C\0é", 3));
    EXPECT_EQ(w.Get(kScriptPath + "A.jss"), "script A\r\n");
}

TEST_F(Install, AFailedBackupIsShownBeforeTheOutcomeAndDoesNotFailTheStep) {
    w.Put(kScriptPath + "A.jss", "old A");
    w.Put(kScriptPath + "Bak", "a file where the backup folder should be");
    EXPECT_TRUE(InstallFiles(w.ctx, true));
    EXPECT_NE(w.Progress().find("- Fichier A.jss\n! Le dossier de sauvegarde est inaccéssible\n"
                                " Installé avec succés !\n"),
              std::string::npos);
    EXPECT_EQ(w.Get(kScriptPath + "A.jss"), "script A\r\n");
}

TEST_F(Install, AFailedBackupCopyIsShownAsSuch) {
    w.Put(kScriptPath + "A.jss", "old A");
    std::filesystem::create_directories(w.Host(Backup("A.jss"))); // a folder in the way
    EXPECT_TRUE(InstallFiles(w.ctx, true));
    EXPECT_NE(w.Progress().find("- Fichier A.jss\n! La sauvegarde a échouée\n"
                                " Installé avec succés !\n"),
              std::string::npos);
}

TEST_F(Install, AnUnreachableDestinationReplacesTheBackupMessageAndFailsTheStep) {
    w.Put(kScriptPath + "Sub", "a file where a folder should be");
    w.Put(kScriptPath + "Bak", "blocks the backups too");
    EXPECT_FALSE(InstallFiles(w.ctx, true));
    EXPECT_NE(w.Progress().find("- Fichier C.txt\n Dossier de destination inaccéssible !\r\n" +
                                kScriptPath + "Sub\\\n"),
              std::string::npos);
    EXPECT_EQ(w.Get(kScriptPath + "Sub"), "a file where a folder should be");
}

// Names and destinations that lead out of their folder, into a stream of another file or to
// a device; good files after them are still written.
testing::TestPackage HostileNames() {
    testing::TestPackage p = testing::SamplePackage();
    p.groups = {{"10", ""}};
    p.files = {File("..\\..\\evil1.txt", "%JawsScriptPath%\\", "1"),
               File("evil2.txt", "%JawsScriptPath%\\..\\..\\..\\..\\", "2"),
               File("evil3.txt", "%MyDoc%\\..\\..\\..\\..\\Windows\\", "3"),
               File("Default.JSS:evil4", "%JawsScriptPath%\\", "4"),
               File("NUL.txt", "%JawsScriptPath%\\", "5"),
               File("evil6.txt", "%JawsScriptPath%\\com1\\", "6"),
               File("good.jss", "%JawsScriptPath%\\", "good")};
    return p;
}

// Every file under the simulated drives whose name holds "evil", or "NUL".
std::vector<std::string> Escaped(const OpsWorld& w) {
    std::vector<std::string> found;
    for (const auto& e : std::filesystem::recursive_directory_iterator(w.dir.Path())) {
        const std::string name = e.path().filename().string();
        if (name.find("evil") != std::string::npos || name.find("NUL") != std::string::npos) {
            found.push_back(e.path().string());
        }
    }
    return found;
}

TEST(Confinement, InstallAndCopyRefuseEachHostilePathAndWriteTheOthers) {
    for (const bool copy : {false, true}) {
        SCOPED_TRACE(copy ? "copy" : "install");
        OpsWorld w;
        w.Load(HostileNames());
        w.Put(kScriptPath + "Default.JSS", "the user's script");
        w.folder.scriptPath = copy ? "D:\\Partage\\Base\\" : kScriptPath;
        std::filesystem::create_directories(w.Host("D:\\Partage\\Base"));
        EXPECT_FALSE(copy ? CopyFilesToFolder(w.ctx) : InstallFiles(w.ctx, true));
        EXPECT_EQ(Escaped(w), std::vector<std::string>());
        EXPECT_EQ(w.Get(kScriptPath + "Default.JSS"), "the user's script");
        const std::string written =
            copy ? "D:\\Partage\\Base\\MonAppli Scripts 2.1Jaws 10\\" : kScriptPath;
        EXPECT_EQ(w.Get(written + "good.jss"), "good");
        const std::string progress = w.Progress();
        size_t refused = 0;
        for (size_t at = progress.find("! Chemin refusé"); at != std::string::npos;
             at = progress.find("! Chemin refusé", at + 1)) {
            ++refused;
        }
        EXPECT_EQ(refused, 6u) << progress;
    }
}

TEST(Confinement, AnUnselectedHostileFileIsNeitherWrittenNorBackedUp) {
    OpsWorld w;
    w.Load(HostileNames());
    w.UncheckRow("evil2.txt");
    w.Put(testing::kUserRoot + "evil2.txt", "outside");
    w.Put(kScriptPath + "good.jss", "old");
    InstallFiles(w.ctx, true);
    EXPECT_NE(w.Progress().find("- Fichier evil2.txt\n Non séléctionné !\n"), std::string::npos);
    EXPECT_FALSE(w.Exists(kScriptPath + "Bak\\MonAppliScripts\\..\\..\\..\\..\\evil2.txt"));
    EXPECT_EQ(w.Get(kScriptPath + "good.jss"), "good");
}

// A stream that does not decode stops the step before its first file is written, with that
// file's error line: no half-installed group.
TEST(UnpackFirst, ADamagedStreamStopsInstallAndCopyBeforeAnyWrite) {
    for (const bool copy : {false, true}) {
        SCOPED_TRACE(copy ? "copy" : "install");
        OpsWorld w;
        testing::TestPackage p = FourFiles();
        p.files[3].useOverride = true;
        p.files[3].storedOverride = "JC\x05garbage";
        w.Load(p);
        w.folder.scriptPath = copy ? "D:\\Partage\\" : kScriptPath;
        std::filesystem::create_directories(w.Host("D:\\Partage"));
        EXPECT_FALSE(copy ? CopyFilesToFolder(w.ctx) : InstallFiles(w.ctx, false));
        EXPECT_FALSE(
            w.Exists(copy ? "D:\\Partage\\MonAppli Scripts 2.1Jaws 10" : kScriptPath + "A.jss"));
        EXPECT_NE(
            w.Progress().find(copy ? "- Fichier D.doc\n! Erreur durant la copie du fichier\n"
                                   : "- Fichier D.doc\n! Erreur durant l'installation fichier\n"),
            std::string::npos)
            << w.Progress();
    }
}

TEST(EnsureFolderFor, CreatesTheWholeChainAndFailsOnAFileInTheWay) {
    OpsWorld w;
    EXPECT_TRUE(EnsureFolderFor(w.host, "C:\\x.txt"));
    EXPECT_TRUE(EnsureFolderFor(w.host, "C:\\a\\b/c\\file.txt"));
    EXPECT_TRUE(std::filesystem::is_directory(w.dir.Path() / "c" / "a" / "b" / "c"));
    w.Put("C:\\f", "file");
    EXPECT_FALSE(EnsureFolderFor(w.host, "C:\\f\\g\\file.txt"));
}

class PrepareSettings : public ::testing::Test {
protected:
    void SetUp() override { w.Load(FourFiles()); }
    OpsWorld w;
    const std::string path = kScriptPath + "ConfigNames.Ini";
    const std::string shared = testing::kSharedRoot + "11.0\\Settings\\fra\\ConfigNames.Ini";
    const std::string backup = kScriptPath + "Bak\\MonAppliScripts\\ConfigNames.Ini";
};

TEST_F(PrepareSettings, AnExistingFileIsSavedFlatInTheBackupFolderReplacingAnOlderCopy) {
    w.Put(path, "current");
    w.Put(backup, "older backup");
    EXPECT_TRUE(PrepareSettingsFile(w.ctx, path));
    EXPECT_EQ(w.Get(backup), "current");
    EXPECT_EQ(w.Get(path), "current");
}

TEST_F(PrepareSettings, AMissingUserFileStartsAsACopyOfTheSharedOne) {
    w.Put(shared, "shared content");
    EXPECT_TRUE(PrepareSettingsFile(w.ctx, path));
    EXPECT_EQ(w.Get(path), "shared content");
    EXPECT_FALSE(w.Exists(backup));
}

TEST_F(PrepareSettings, NothingToDoIsSuccessAndTheUserRootMatchIsCaseSensitive) {
    EXPECT_TRUE(PrepareSettingsFile(w.ctx, path));
    EXPECT_FALSE(w.Exists(path));
    w.Put(shared, "shared content");
    const std::string otherCase = Lower(path);
    EXPECT_TRUE(PrepareSettingsFile(w.ctx, otherCase));
    EXPECT_FALSE(w.Exists(path));
}

TEST_F(PrepareSettings, AFailedBackupOrFirstCopyFailsThePreparation) {
    w.Put(path, "current");
    w.Put(kScriptPath + "Bak", "a file where the backup folder should be");
    EXPECT_FALSE(PrepareSettingsFile(w.ctx, path));
    EXPECT_EQ(w.InstallLog(), "! Folder dest not exist\n");

    const std::string other = kScriptPath + "Default.Jss";
    w.Put(testing::kSharedRoot + "11.0\\Settings\\fra\\Default.Jss", "shared default");
    w.host.Faults().readOnly = {kScriptPath};
    EXPECT_FALSE(PrepareSettingsFile(w.ctx, other));
    EXPECT_FALSE(w.Exists(other));
    EXPECT_NE(w.InstallLog().find(" ! Error during back of JawsAllUsers file\n"),
              std::string::npos);
}

} // namespace
} // namespace vuni
