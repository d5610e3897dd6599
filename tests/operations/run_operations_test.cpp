#include "operations/run_operations.h"
#include "ops_world.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

using testing::kScriptPath;

// Steps that record their calls and fail when told to.
class Runner : public ::testing::Test {
protected:
    void SetUp() override {
        w.Load(testing::SamplePackage());
        auto step = [this](const std::string& name) {
            return [this, name](auto&&... args) {
                std::string call = name;
                ((call += " " + std::to_string(static_cast<int>(args))), ...);
                calls.push_back(call);
                return failing != name;
            };
        };
        steps.copyFilesToFolder = [s = step("copy")](OperationContext&) { return s(); };
        steps.installFiles = [s = step("install")](OperationContext&, bool b) { return s(b); };
        steps.updateDefaultJss = [s = step("default")](OperationContext&, bool b) { return s(b); };
        steps.compileScripts = [s = step("compile")](OperationContext&, bool b) { return s(b); };
        steps.aliasUpdate = [s = step("alias")](OperationContext&, bool b) { return s(b); };
        steps.refreshJaws = [s = step("refresh")](OperationContext&) { return s(); };
    }
    std::string Run(OperationKind kind) {
        w.ctx.kind = kind;
        return RunOperations(w.ctx, steps);
    }
    testing::OpsWorld w;
    OperationSteps steps;
    std::vector<std::string> calls;
    std::string failing;
};

TEST_F(Runner, AllStepsSucceedingShowOnlyTheInfoBoxAndFocusTheCloseButton) {
    EXPECT_EQ(Run(OperationKind::InstallWithBackup), "");
    EXPECT_EQ(calls, (std::vector<std::string>{"install 1", "default 0", "compile 0", "alias 0",
                                               "refresh"}));
    ASSERT_EQ(w.boxes.size(), 1u);
    EXPECT_EQ(w.boxes[0].title, "Info");
    EXPECT_EQ(w.boxes[0].text, "Toutes les opérations ont été éffectué avec succés !");
    EXPECT_EQ(w.Progress(), "\n*** Début des opérations \n\n"
                            "Toutes les opérations se sont terminées avec succés ! \n");
    EXPECT_EQ(w.InstallLog(), "\n*** Begin of process\n");
    EXPECT_EQ(w.uiEvents,
              (std::vector<std::string>{"caption Fermer", "final buttons", "focus cancel"}));
    EXPECT_TRUE(w.done);
}

TEST_F(Runner, AFailingStepEndsItsChainWithOneSummaryLine) {
    failing = "default";
    const std::string summary = Run(OperationKind::Install);
    EXPECT_EQ(summary, "- Ereur durant la mise à jour du Default.JSS !\n");
    EXPECT_EQ(calls, (std::vector<std::string>{"install 0", "default 0"}));
    ASSERT_EQ(w.boxes.size(), 1u);
    EXPECT_EQ(w.boxes[0].title, "Erreur");
    EXPECT_EQ(w.boxes[0].kind, MessageKind::Error);
    EXPECT_EQ(w.boxes[0].text, "Des erreurs se sont produites : \n- Ereur durant la mise à jour du "
                               "Default.JSS !\nLes scripts risquent de ne pas fonctionner "
                               "correctement.");
    EXPECT_EQ(w.progress.Lines().back(), "Des erreurs se sont produites durant les opérations !");
    EXPECT_EQ(w.uiEvents,
              (std::vector<std::string>{"caption Fermer", "final buttons", "focus progress"}));
    EXPECT_TRUE(w.done);
}

TEST_F(Runner, EachChainHasItsOwnFailureLines) {
    const std::pair<std::string, std::string> install[] = {
        {"install", "- Erreur durant l'installation des fichiers !\n"},
        {"compile", "- Erreur durant la compilation des scripts !\n"},
        {"alias", "- Erreur durant la mise à jour des alias dans le fichier ConfigName.ini !\n"},
        {"refresh", "- Erreur durant le rechargement des scripts par JAWS !\n"}};
    for (const auto& [step, line] : install) {
        failing = step;
        EXPECT_EQ(Run(OperationKind::Install), line) << step;
    }
    const std::pair<std::string, std::string> removal[] = {
        {"default", "- Erreur durant le retrait des commande d'adaptation du fichier Default.JSS "
                    "!\n"},
        {"compile", "- Erreur durant la compilation des scripts !\n"},
        {"alias", "- Erreur durant le retrait des alias du fichier ConfiName.ini!\n"},
        {"refresh", "- Erreur durant le rechargement des scripts par JAWS !\n"}};
    for (const auto& [step, line] : removal) {
        failing = step;
        EXPECT_EQ(Run(OperationKind::RemoveAssociation), line) << step;
    }
    failing = "copy";
    calls.clear();
    EXPECT_EQ(Run(OperationKind::Copy), "- Erreur durant la copie des fichiers !\n");
    EXPECT_EQ(calls, std::vector<std::string>{"copy"});
}

TEST_F(Runner, RemovalChainRunsItsStepsInRemoveMode) {
    EXPECT_EQ(Run(OperationKind::RemoveAssociation), "");
    EXPECT_EQ(calls, (std::vector<std::string>{"default 1", "compile 1", "alias 1", "refresh"}));
}

// The whole chain with the real steps: a copy in which one file cannot be written still
// copies the others and reports a single summary line.
TEST(RunOperationsWithRealSteps, CopyWithOneUnwritableFile) {
    testing::OpsWorld w;
    w.Load(testing::SamplePackage());
    w.folder.scriptPath = "C:\\Partage\\";
    w.ctx.kind = OperationKind::Copy;
    for (OperationRow& row : w.ctx.rows) {
        row.checked = true;
    }
    const std::string base = "C:\\Partage\\MonAppli Scripts 2.1Jaws 10\\";
    std::filesystem::create_directories(w.Host(base) / "MonAppli.jss");
    EXPECT_EQ(RunOperations(w.ctx), "- Erreur durant la copie des fichiers !\n");
    EXPECT_EQ(w.Get(base + "MonAppli.jsm"), "const x = 1\r\n");
}

TEST(RunOperationsWithRealSteps, InstallWhoseDefaultUpdateFailsStopsBeforeCompiling) {
    testing::OpsWorld w;
    w.Load(testing::SamplePackage());
    w.ctx.kind = OperationKind::Install;
    w.ctx.updateDefaultJss = [](bool) { return false; };
    w.ctx.restartJaws = true;
    EXPECT_EQ(RunOperations(w.ctx), "- Ereur durant la mise à jour du Default.JSS !\n");
    EXPECT_EQ(w.Get(kScriptPath + "MonAppli.jss").substr(0, 6), "Script");
    const std::string progress = w.Progress();
    EXPECT_EQ(progress.find("Compilation"), std::string::npos);
    EXPECT_EQ(progress.find("alias"), std::string::npos);
    EXPECT_EQ(progress.find("JAWS"), std::string::npos);
}

} // namespace
} // namespace vuni
