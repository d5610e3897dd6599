#include "operations/run_operations.h"

#include "log/log.h"
#include "operations/alias_update.h"
#include "operations/compile_scripts.h"
#include "operations/install_files.h"
#include "operations/refresh_jaws.h"

namespace vuni {

namespace {

enum class Step { CopyFiles, InstallFiles, UpdateDefaultJss, CompileScripts, AliasUpdate, Refresh };

// One step of a chain, its argument and the summary line written when it fails.
struct ChainStep {
    Step step;
    bool argument;
    const char* failureLine;
};

// A step that is not bound counts as failed.
bool RunStep(OperationContext& ctx, const OperationSteps& steps, const ChainStep& s) {
    switch (s.step) {
    case Step::CopyFiles:
        return steps.copyFilesToFolder && steps.copyFilesToFolder(ctx);
    case Step::InstallFiles:
        return steps.installFiles && steps.installFiles(ctx, s.argument);
    case Step::UpdateDefaultJss:
        return steps.updateDefaultJss && steps.updateDefaultJss(ctx, s.argument);
    case Step::CompileScripts:
        return steps.compileScripts && steps.compileScripts(ctx, s.argument);
    case Step::AliasUpdate:
        return steps.aliasUpdate && steps.aliasUpdate(ctx, s.argument);
    case Step::Refresh:
        return steps.refreshJaws && steps.refreshJaws(ctx);
    }
    return false;
}

// Runs the steps in order; the first failure adds its line and ends the chain.
void RunChain(OperationContext& ctx, const OperationSteps& steps,
              std::initializer_list<ChainStep> chain, std::string& summary) {
    for (const ChainStep& step : chain) {
        if (!RunStep(ctx, steps, step)) {
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

    if (HasBit(ctx.kind, OperationKind::Copy)) {
        RunChain(ctx, steps,
                 {{Step::CopyFiles, false, "- Erreur durant la copie des fichiers !\n"}}, summary);
    }
    if (HasBit(ctx.kind, OperationKind::Install)) {
        const bool backupFirst = HasBit(ctx.kind, OperationKind::Backup);
        RunChain(
            ctx, steps,
            {{Step::InstallFiles, backupFirst, "- Erreur durant l'installation des fichiers !\n"},
             {Step::UpdateDefaultJss, false, "- Ereur durant la mise à jour du Default.JSS !\n"},
             {Step::CompileScripts, false, "- Erreur durant la compilation des scripts !\n"},
             {Step::AliasUpdate, false,
              "- Erreur durant la mise à jour des alias dans le fichier ConfigName.ini !\n"},
             {Step::Refresh, false, "- Erreur durant le rechargement des scripts par JAWS !\n"}},
            summary);
    }
    if (HasBit(ctx.kind, OperationKind::RemoveAssociation)) {
        RunChain(
            ctx, steps,
            {{Step::UpdateDefaultJss, true,
              "- Erreur durant le retrait des commande d'adaptation du fichier "
              "Default.JSS !\n"},
             {Step::CompileScripts, true, "- Erreur durant la compilation des scripts !\n"},
             {Step::AliasUpdate, true,
              "- Erreur durant le retrait des alias du fichier ConfiName.ini!\n"},
             {Step::Refresh, false, "- Erreur durant le rechargement des scripts par JAWS !\n"}},
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
        ctx.Ask("Info", "Toutes les opérations ont été éffectué avec succés !", MessageKind::Info);
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
