#include "operations/run_operations.h"

#include "log/log.h"
#include "operations/alias_update.h"
#include "operations/compile_scripts.h"
#include "operations/install_files.h"
#include "operations/refresh_jaws.h"

namespace vuni {

namespace {

// One step of a chain and the summary line written when it fails.
struct ChainStep {
    std::function<bool()> run;
    const char* failureLine;
};

// Runs the steps in order; the first failure adds its line and ends the chain.
void RunChain(const std::vector<ChainStep>& chain, std::string& summary) {
    for (const ChainStep& step : chain) {
        if (!step.run || !step.run()) {
            summary += step.failureLine;
            return;
        }
    }
}

} // namespace

OperationSteps DefaultOperationSteps() {
    OperationSteps steps;
    steps.copyFilesToFolder = [](OperationContext& ctx) { return CopyFilesToFolder(ctx); };
    steps.installFiles = [](OperationContext& ctx, bool backupFirst) {
        return InstallFiles(ctx, backupFirst);
    };
    steps.updateDefaultJss = [](OperationContext& ctx, bool removeMode) {
        return ctx.updateDefaultJss ? ctx.updateDefaultJss(removeMode) : false;
    };
    steps.compileScripts = [](OperationContext& ctx, bool remove) {
        return CompileScripts(ctx, remove);
    };
    steps.aliasUpdate = [](OperationContext& ctx, bool remove) { return AliasUpdate(ctx, remove); };
    steps.refreshJaws = [](OperationContext& ctx) { return RefreshJaws(ctx); };
    return steps;
}

std::string RunOperations(OperationContext& ctx) {
    return RunOperations(ctx, DefaultOperationSteps());
}

std::string RunOperations(OperationContext& ctx, const OperationSteps& steps) {
    Log& log = ctx.log;
    std::string summary;
    log.ProgressLine("");
    log.ProgressLine("*** Début des opérations ");
    if (ctx.ui.setCancelCaption) {
        ctx.ui.setCancelCaption("Fermer");
    }
    log.LogLine("");
    log.LogLine("*** Begin of process");

    auto bind = [&ctx](const auto& fn, auto... args) -> std::function<bool()> {
        if (!fn) {
            return {};
        }
        return [&ctx, &fn, args...]() { return fn(ctx, args...); };
    };

    if ((ctx.kind & OperationCopy) != 0) {
        RunChain({{bind(steps.copyFilesToFolder), "- Erreur durant la copie des fichiers !\n"}},
                 summary);
    }
    if ((ctx.kind & OperationInstall) != 0) {
        const bool backupFirst = (ctx.kind & OperationBackup) != 0;
        RunChain(
            {{bind(steps.installFiles, backupFirst),
              "- Erreur durant l'installation des fichiers !\n"},
             {bind(steps.updateDefaultJss, false),
              "- Ereur durant la mise à jour du Default.JSS !\n"},
             {bind(steps.compileScripts, false), "- Erreur durant la compilation des scripts !\n"},
             {bind(steps.aliasUpdate, false),
              "- Erreur durant la mise à jour des alias dans le fichier ConfigName.ini !\n"},
             {bind(steps.refreshJaws), "- Erreur durant le rechargement des scripts par JAWS !\n"}},
            summary);
    }
    if ((ctx.kind & OperationRemoveAssociation) != 0) {
        RunChain(
            {{bind(steps.updateDefaultJss, true),
              "- Erreur durant le retrait des commande d'adaptation du fichier "
              "Default.JSS !\n"},
             {bind(steps.compileScripts, true), "- Erreur durant la compilation des scripts !\n"},
             {bind(steps.aliasUpdate, true),
              "- Erreur durant le retrait des alias du fichier ConfiName.ini!\n"},
             {bind(steps.refreshJaws), "- Erreur durant le rechargement des scripts par JAWS !\n"}},
            summary);
    }

    if (ctx.operationDone != nullptr) {
        *ctx.operationDone = true;
    }
    if (ctx.ui.finalButtons) {
        ctx.ui.finalButtons();
    }
    log.ProgressLine("");
    FinalFocus focus;
    if (summary.empty()) {
        ctx.Ask("Info", "Toutes les opérations ont été éffectué avec succés !",
                MessageKind::Info);
        log.ProgressLine("Toutes les opérations se sont terminées avec succés ! ");
        focus = FinalFocus::CancelButton;
    } else {
        ctx.Ask("Erreur",
                "Des erreurs se sont produites : \n" + summary +
                    "Les scripts risquent de ne pas fonctionner correctement.",
                MessageKind::Error);
        log.ProgressLine("Des erreurs se sont produites durant les opérations !");
        focus = FinalFocus::ProgressBox;
    }
    if (ctx.ui.focusFinal) {
        ctx.ui.focusFinal(focus);
    }
    return summary;
}

} // namespace vuni
