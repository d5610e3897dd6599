#include "update/version_check.h"

#include "text/text.h"
#include "update/date_mask.h"
#include "update/http_address.h"
#include "update/version_descriptor.h"
#include "update/version_template.h"
#include "update/web_download.h"

namespace vuni {

std::string LocalVersionFilePath(Host& host, const PackageInfo& info, const WallClock& now) {
    return host.TemporaryFolder() + LocalVersionFileName(info, now);
}

void CheckForNewVersion(VersionCheckContext& context, bool silent) {
    Host& host = context.host;
    Log& log = context.log;
    const PackageInfo& info = context.info;

    log.LogLine("* Check for new version");
    log.LogLine(" Current Date Version : " + FormatDateSeconds(kVersionDateMask, info.date));

    if (!context.state.networkStarted) {
        if (!host.NetworkStartup()) {
            return; // tried again at the next check
        }
        context.state.networkStarted = true;
    }
    log.LogLine("- Find network ");

    const WallClock now = host.LocalTimeNow();
    const std::string localPath = LocalVersionFilePath(host, info, now);
    log.LogLine(" TemporaryFileVersion : " + localPath);
    const std::string address = info.updateLocation + "/" + RemoteVersionFileName(info, now);
    log.LogLine(" URL FileVersion = " + address);

    if (DownloadToFile(host, address, localPath, context.waits) != DownloadResult::Ok) {
        if (!silent) {
            log.LogLine("! Error, can't download UPQ file");
            context.messageBox("Erreur", "Impossible d'accéder au fichier, de version, distant !",
                               MessageKind::Error);
        }
        return;
    }
    log.LogLine(" UPQ file downloaded correctly !");

    VersionDescriptor descriptor;
    int64_t newDate = 0;
    std::string bytes;
    if (host.ReadWholeFile(localPath, bytes)) {
        host.DeleteFile(localPath);
        descriptor = ParseVersionDescriptor(bytes);
        newDate = ParseDateMask(kVersionDateMask, descriptor.newDate);
        log.LogLine(" New File = " + descriptor.nameNewVersion);
        log.LogLine(" New Date : " + FormatDateSeconds(kVersionDateMask, newDate));
    } else {
        log.LogLine("! Can't acces to Tamporary FileVersion !");
    }
    bool offered = newDate > static_cast<int64_t>(info.date) && !descriptor.nameNewVersion.empty();
    if (offered && !IsWebAddress(descriptor.nameNewVersion)) {
        log.LogLine("! New File is not a web address, ignored");
        offered = false;
    }
    if (offered) {
        const MessageAnswer answer =
            context.messageBox("Info", "Nouvelle version disponible ! Voulez-vous la télécharger ?",
                               MessageKind::YesNo);
        if (answer == MessageAnswer::Yes) {
            if (host.ShellOpen(descriptor.nameNewVersion)) {
                context.quit = true;
            } else {
                log.LogLine("! Can't open New File");
            }
        }
        return;
    }
    if (!silent) {
        log.LogLine(" No new version !");
        context.messageBox("Info", "Pas de nouvelle version détectée ! ", MessageKind::Info);
    }
}

} // namespace vuni
