#include "operations/refresh_jaws.h"
#include "ops_world.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

using testing::kInstallPath;
using testing::kRuntimePath;

const std::string kQuestion = "L'auteur conseille de recharger Jaws pour que les modifications "
                              "soient prises en compte.\nVoulez-vous redémarer Jaws 11.0 ?";

class Refresh : public ::testing::Test {
protected:
    void SetUp() override {
        w.Load(testing::SamplePackage());
        w.ctx.restartJaws = true;
        w.folder.running = true;
        w.PlaceProgram(kRuntimePath + "JfwKill.Exe");
        w.PlaceProgram(kInstallPath + "Jfw.Exe");
    }
    testing::OpsWorld w;
};

TEST_F(Refresh, OptionOffDoesNothing) {
    w.ctx.restartJaws = false;
    EXPECT_TRUE(RefreshJaws(w.ctx));
    EXPECT_EQ(w.Progress(), "");
    EXPECT_TRUE(w.boxes.empty());
}

TEST_F(Refresh, NotRunningOnlyTellsAboutTheNextStart) {
    w.folder.running = false;
    EXPECT_TRUE(RefreshJaws(w.ctx));
    EXPECT_EQ(w.Progress(),
              "\nLes modifications seront actives aus prochain lancement de JAWS 11.0\n");
    EXPECT_TRUE(w.boxes.empty());
    EXPECT_TRUE(w.Runs().empty());
}

TEST_F(Refresh, VersionSixRunningGetsTheNoticeBoxWithoutQuestionOrRestart) {
    w.folder.majorVersion = 6;
    EXPECT_TRUE(RefreshJaws(w.ctx));
    ASSERT_EQ(w.boxes.size(), 1u);
    EXPECT_EQ(w.boxes[0].title, "Info");
    EXPECT_EQ(w.boxes[0].text, "Les modifications seront prises en compte au prochain lancement "
                               "de JAWS !");
    EXPECT_EQ(w.boxes[0].kind, MessageKind::Info);
    EXPECT_TRUE(w.Runs().empty());
}

TEST_F(Refresh, NoIsNotAFailure) {
    w.answers = {MessageAnswer::No};
    EXPECT_TRUE(RefreshJaws(w.ctx));
    ASSERT_EQ(w.boxes.size(), 1u);
    EXPECT_EQ(w.boxes[0].text, kQuestion);
    EXPECT_EQ(w.boxes[0].kind, MessageKind::YesNo);
    EXPECT_EQ(w.Progress(), "\n Rechargement annulé par l'utilisateur !\n");
    EXPECT_TRUE(w.Runs().empty());
}

TEST_F(Refresh, YesStopsThenStartsTheScreenReader) {
    w.Put(kRuntimePath + "behaviour.txt", "exit=7");
    w.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(RefreshJaws(w.ctx));
    const auto runs = w.Runs();
    ASSERT_GE(runs.size(), 1u);
    EXPECT_EQ(runs[0], "JfwKill.Exe|" + w.Host(kRuntimePath).string());
    const auto& starts = w.host.ProcessStarts();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0].commandLine, "\"" + kRuntimePath + "JfwKill.Exe\"");
    EXPECT_EQ(starts[0].workingFolder, kRuntimePath);
    EXPECT_FALSE(starts[0].hidden);
    EXPECT_EQ(starts[1].program, kInstallPath + "Jfw.Exe");
    EXPECT_EQ(starts[1].workingFolder, "");
    EXPECT_EQ(w.Progress(),
              "\n* Relancement de JAWS\n* ReStart Jaws \n Relance de JAWS effectuée !\n");
    const std::string log = w.InstallLog();
    EXPECT_NE(log.find("* ReStart JAWS\nJawsKill = " + kRuntimePath +
                       "JfwKill.Exe\nJawsRun = " + kInstallPath + "Jfw.Exe\n IdKill = "),
              std::string::npos);
    EXPECT_NE(log.find(" JAWS is killed : 7\n Launch Jaws !\n"), std::string::npos);
}

TEST_F(Refresh, AMissingOrEmptyStopProgramStartsNothingAndFails) {
    std::filesystem::remove(w.Host(kRuntimePath + "JfwKill.Exe"));
    w.answers = {MessageAnswer::Yes};
    EXPECT_FALSE(RefreshJaws(w.ctx));
    EXPECT_TRUE(w.host.ProcessStarts().empty());
    EXPECT_NE(w.InstallLog().find(" Error, no found exe \n"), std::string::npos);
    EXPECT_EQ(w.progress.Lines().back(), " Erreur durant la relance de JAWS !");

    w.Put(kRuntimePath + "JfwKill.Exe", "");
    EXPECT_FALSE(RestartJaws(w.ctx));
    EXPECT_TRUE(w.host.ProcessStarts().empty());
}

TEST_F(Refresh, AStopProgramThatHangsIsLeftAndTheScreenReaderStartsAnyway) {
    w.Put(kRuntimePath + "behaviour.txt", "sleep=5000");
    w.ctx.processTimeoutMs = 150;
    EXPECT_TRUE(RestartJaws(w.ctx));
    EXPECT_NE(w.InstallLog().find("! Error, Jaws may be not killed : 259\n Launch Jaws !\n"),
              std::string::npos);
}

TEST_F(Refresh, AScreenReaderThatCannotStartFailsTheRestart) {
    w.Put(kInstallPath + "Jfw.Exe", "not a program");
    EXPECT_FALSE(RestartJaws(w.ctx));
    EXPECT_NE(w.InstallLog().find("! Error, Jaws mau be not launched\n"), std::string::npos);
    EXPECT_EQ(w.progress.Lines().back(), " Erreur durant la relance de JAWS !");
}

TEST_F(Refresh, ReloadCallsTheLibraryAndReportsEachOutcome) {
    EXPECT_FALSE(ReloadJawsConfig(w.ctx));
    EXPECT_EQ(w.Progress(), "* Rechargement de la configuration par JAWS\n Rechargement annulé car "
                            "l'installateur ne trouve pas les fichiers necessaire !\n");
    EXPECT_NE(w.InstallLog().find("! Can't find : " + kInstallPath + "JfwAPI.Dll\n"),
              std::string::npos);

    w.progress.Clear();
    w.PlaceLibrary(kInstallPath + "JfwAPI.Dll");
    EXPECT_TRUE(ReloadJawsConfig(w.ctx));
    EXPECT_EQ(w.progress.Lines().back(), " Rechargement effectué !");

    w.PlaceLibrary(kInstallPath + "JfwAPI.Dll");
    const LibraryCallResult none =
        w.host.CallLibraryFunction(kInstallPath + "JfwAPI.Dll", "NoSuchFunction", "x");
    EXPECT_EQ(none.status, LibraryCallStatus::NoFunction);
    const LibraryCallResult zero =
        w.host.CallLibraryFunction(kInstallPath + "JfwAPI.Dll", "JFWRunFunction", "Other()");
    EXPECT_EQ(zero.status, LibraryCallStatus::Called);
    EXPECT_EQ(zero.result, 0);
}

} // namespace
} // namespace vuni
