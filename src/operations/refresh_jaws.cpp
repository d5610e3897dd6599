#include "operations/refresh_jaws.h"

#include "jaws/host_items.h"
#include "log/log.h"
#include "platform/host.h"
#include "text/text.h"

namespace vuni {

bool RefreshJaws(OperationContext& ctx) {
    if (!ctx.restartJaws) {
        return true;
    }
    Log& log = ctx.log;
    const SettingsFolder& folder = ctx.folder;
    log.ProgressLine("");
    if (!folder.running) {
        log.ProgressLine("Les modifications seront actives aus prochain lancement de JAWS " +
                         folder.versionName);
        return true;
    }
    if (folder.majorVersion >= 7) {
        const std::string question = "L'auteur conseille de recharger Jaws pour que les "
                                     "modifications soient prises en compte.\nVoulez-vous "
                                     "redémarer Jaws " +
                                     folder.versionName + " ?";
        if (ctx.Ask("Info", question, MessageKind::YesNo) == MessageAnswer::Yes) {
            return RestartJaws(ctx);
        }
        log.ProgressLine(" Rechargement annulé par l'utilisateur !");
        return true;
    }
    ctx.Ask("Info", "Les modifications seront prises en compte au prochain lancement de JAWS !",
            MessageKind::Info);
    return true;
}

bool RestartJaws(OperationContext& ctx) {
    Log& log = ctx.log;
    Host& host = ctx.host;
    log.ProgressLine("* Relancement de JAWS");
    log.LogLine("* ReStart JAWS");
    const std::string killPath = ctx.folder.runtimePath + kJawsStopProgram;
    const std::string jawsPath = ctx.folder.installPath + kJawsProgram;
    log.LogLine("JawsKill = " + killPath);
    log.LogLine("JawsRun = " + jawsPath);
    log.ProgressLine("* ReStart Jaws ");

    bool result = false;
    if (host.FileSize(killPath) <= 0 || host.FileSize(jawsPath) <= 0) {
        log.LogLine(" Error, no found exe ");
    } else {
        ProcessRun kill =
            host.StartProcess(killPath, "\"" + killPath + "\"", FolderPart(killPath), false);
        log.LogLine(" IdKill = " + Decimal(kill.id));
        if (kill.id != 0) {
            if (host.WaitProcess(kill, ctx.processTimeoutMs)) {
                log.LogLine(" JAWS is killed : " + Decimal(host.ProcessExitCode(kill)));
            } else {
                log.LogLine("! Error, Jaws may be not killed : " +
                            Decimal(host.ProcessExitCode(kill)));
            }
        }
        host.ReleaseProcess(kill);

        ProcessRun jaws = host.StartProcess(jawsPath, "\"" + jawsPath + "\"", "", false);
        if (jaws.id != 0) {
            log.LogLine(" Launch Jaws !");
            // The screen reader shows its window and takes the foreground as it starts. The
            // summary box that follows must come after that, or it opens in front and loses
            // the foreground a moment later: unread, and Enter goes to the screen reader.
            // Once the screen reader is ready, the box takes the foreground back: Windows
            // lets a process do so while it received the last input (the user's answer to
            // the restart question), whereas a program started by the foreground process
            // may take the foreground whenever its window first shows.
            host.WaitProcessReady(jaws, kProgramReadyTimeoutMs);
            result = true;
        } else {
            log.LogLine("! Error, Jaws mau be not launched");
        }
        host.ReleaseProcess(jaws);
    }
    log.ProgressLine(result ? " Relance de JAWS effectuée !"
                            : " Erreur durant la relance de JAWS !");
    return result;
}

bool ReloadJawsConfig(OperationContext& ctx) {
    Log& log = ctx.log;
    const std::string library = ctx.folder.installPath + kJawsApiLibrary;
    log.ProgressLine("* Rechargement de la configuration par JAWS");
    log.LogLine("* Reload All Config JAWS");
    log.LogLine("- Restart Jaws");
    log.LogLine(library);
    const LibraryCallResult call =
        ctx.host.CallLibraryFunction(library, kJawsApiFunction, kReloadAllConfigsCall);
    switch (call.status) {
    case LibraryCallStatus::NoLibrary:
        log.ProgressLine(
            " Rechargement annulé car l'installateur ne trouve pas les fichiers necessaire !");
        log.LogLine("! Can't find : " + library);
        return false;
    case LibraryCallStatus::NoFunction:
        log.ProgressLine("! La fonction de rechargement n'a pas été trouvé !");
        return false;
    case LibraryCallStatus::Called:
        break;
    }
    if (call.result != 0) {
        log.ProgressLine(" Rechargement effectué !");
        return true;
    }
    log.ProgressLine(" ! Le rechargement n'a pas été effectué correctement");
    return false;
}

} // namespace vuni
