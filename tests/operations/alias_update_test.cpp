#include "operations/alias_update.h"
#include "ops_world.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

using testing::kScriptPath;

class Aliases : public ::testing::Test {
protected:
    void SetUp() override {
        testing::TestPackage p = testing::SamplePackage();
        p.groups = {{"10", "MonAppli; monappli ;;MonAppli"}};
        w.Load(p);
    }
    testing::OpsWorld w;
    const std::string path = kScriptPath + "ConfigNames.Ini";
    const std::string shared = testing::kSharedRoot + "11.0\\Settings\\fra\\ConfigNames.ini";
    const std::string backup = kScriptPath + "Bak\\MonAppliScripts\\ConfigNames.Ini";
};

TEST_F(Aliases, AddRewritesTheUsersFileAndKeepsABackupOfIt) {
    const std::string before = "[ConfigNames]\nMONAPPLI=Old\nword=Word\n";
    w.Put(kScriptPath + "confignames.ini", before);
    EXPECT_TRUE(AliasUpdate(w.ctx, false));
    EXPECT_EQ(w.Get(path), "[ConfigNames]\r\nMonAppli=MonAppliScripts\r\n"
                           "monappli=MonAppliScripts\r\nword=Word\r\n");
    EXPECT_EQ(w.Get(backup), before);
    EXPECT_EQ(w.Progress(), "\n* Mise à jour des alias du ConfigNames.Ini\n");
    EXPECT_EQ(w.install.Lines()[0], "* AliasUpdate( 0 ) ");
    EXPECT_EQ(w.install.Lines()[1], " " + path);
}

TEST_F(Aliases, RemoveTakesTheEntriesOutAgain) {
    w.Put(path, "[ConfigNames]\r\nMonAppli=MonAppliScripts\r\nword=Word\r\n");
    EXPECT_TRUE(AliasUpdate(w.ctx, true));
    EXPECT_EQ(w.Get(path), "[ConfigNames]\r\nword=Word\r\n");
    EXPECT_EQ(w.install.Lines()[0], "* AliasUpdate( 1 ) ");
}

TEST_F(Aliases, AMissingUserFileStartsFromTheSharedCopy) {
    w.Put(shared, "[ConfigNames]\nword=Word\n");
    EXPECT_TRUE(AliasUpdate(w.ctx, false));
    EXPECT_EQ(w.Get(path), "[ConfigNames]\r\nMonAppli=MonAppliScripts\r\n"
                           "monappli=MonAppliScripts\r\nword=Word\r\n");
    EXPECT_EQ(w.Get(shared), "[ConfigNames]\nword=Word\n");
}

TEST_F(Aliases, NoUserAndNoSharedFileFailsTheStep) {
    EXPECT_FALSE(AliasUpdate(w.ctx, false));
    EXPECT_FALSE(w.Exists(path));
    EXPECT_EQ(w.progress.Lines().back(), "! Le fichier ConfigNames.Ini ne peut être ouvert !");
}

TEST_F(Aliases, EmptyAliasTextTouchesNothing) {
    w.package.groups[0].alias = "   ";
    w.Put(path, "[ConfigNames]\nx=y");
    EXPECT_TRUE(AliasUpdate(w.ctx, false));
    EXPECT_EQ(w.Get(path), "[ConfigNames]\nx=y");
    EXPECT_EQ(w.Progress(), "");
}

TEST_F(Aliases, TheUsersEditedAliasTextIsTheOneUsed) {
    w.package.groups[0].alias = "Autre";
    w.Put(path, "");
    EXPECT_TRUE(AliasUpdate(w.ctx, false));
    EXPECT_EQ(w.Get(path), "[ConfigNames]\r\nAutre=MonAppliScripts\r\n");
}

TEST_F(Aliases, AFailedPreparationOrWriteLeavesTheOldFile) {
    const std::string before = "[ConfigNames]\nword=Word\n";
    w.Put(path, before);
    w.Put(kScriptPath + "Bak", "no backup folder possible");
    EXPECT_FALSE(AliasUpdate(w.ctx, false));
    EXPECT_EQ(w.progress.Lines().back(), "! Le fichier ConfigNames.Ini est introuvable");
    EXPECT_EQ(w.Get(path), before);

    std::filesystem::remove(w.Host(kScriptPath + "Bak"));
    w.host.Faults().freeBytes = static_cast<int64_t>(before.size()) + 10; // backup fits only
    EXPECT_FALSE(AliasUpdate(w.ctx, false));
    EXPECT_EQ(w.progress.Lines().back(), "! Erreur durant l'écriture du fichier ConfigNames.Ini");
    EXPECT_EQ(w.Get(path), before);
    EXPECT_EQ(w.Get(backup), before);
}

} // namespace
} // namespace vuni
