#include "operations/install_files.h"

#include "log/log.h"
#include "platform/host.h"
#include "text/text.h"

namespace vuni {

std::string CopyBaseFolder(const OperationContext& ctx) {
    const PackageInfo& info = ctx.package.info;
    return ctx.folder.scriptPath + info.applicationName + " Scripts " + info.scriptSetVersion +
           "Jaws " + ctx.GroupName() + "\\";
}

std::string BackupFolder(const OperationContext& ctx) {
    return ctx.folder.scriptPath + "Bak\\" + ctx.package.info.scriptSetName + "\\";
}

bool EnsureFolderFor(Host& host, const std::string& path) {
    std::string folder = FolderPart(path);
    if (host.IsDirectory(folder)) {
        return true;
    }
    // Windows takes "/" for "\" too; splitting at both keeps "a\b/c\" a chain of three.
    folder = EnsureTrailingBackslash(ReplaceAll(folder, "/", "\\"));
    const size_t count = CountChar(folder, '\\');
    std::string partial;
    for (size_t k = 1; k <= count; ++k) {
        partial += Field(folder, '\\', k) + "\\";
        if (!host.IsDirectory(partial) && !host.CreateFolder(partial)) {
            return false;
        }
    }
    return true;
}

bool CopyFileOver(Host& host, const std::string& from, const std::string& to) {
    if (host.IsFile(to)) {
        std::string content;
        return host.ReadWholeFile(from, content) &&
               host.ReplaceFile(to, content.data(), content.size());
    }
    if (host.CopyFile(from, to)) {
        return true;
    }
    host.DeleteFile(to); // a partial first copy is worth nothing
    return false;
}

bool PrepareSettingsFile(const OperationContext& ctx, const std::string& path) {
    Host& host = ctx.host;
    if (host.IsFile(path)) {
        const std::string backup = BackupFolder(ctx) + FileNamePart(path);
        if (!EnsureFolderFor(host, backup)) {
            ctx.log.LogLine("! Folder dest not exist");
            return false;
        }
        if (!CopyFileOver(host, path, backup)) {
            ctx.log.LogLine("! Copy error");
            return false;
        }
        return true;
    }
    if (ctx.userJawsRoot.empty() || path.find(ctx.userJawsRoot) == std::string::npos) {
        return true;
    }
    const std::string shared = ctx.sharedJawsRoot + ReplaceAll(path, ctx.userJawsRoot, "");
    if (!host.IsFile(shared)) {
        return true;
    }
    if (!CopyFileOver(host, shared, path)) {
        ctx.log.LogLine(" ! Error during back of JawsAllUsers file");
        return false;
    }
    return true;
}

namespace {

// The lines of a file that the operation will not write because of its path.
void LogRefusedPath(Log& log, const char* reason, const std::string& path) {
    log.LogLine(std::string("! Refused path (") + reason + ") : " + path);
}
constexpr char kRefusedPathLine[] = "! Chemin refusé, hors du dossier prévu :\r\n";

// Unpacks every selected packed entry of the chosen group in memory before the operation
// writes anything: a damaged stream stops it there, not after half of the group is on
// disk. The entry that fails gets its file line and failureLine. A sealed package had every
// byte checked when it was read.
bool UnpackSelectedFirst(OperationContext& ctx, bool copy, const char* failureLine) {
    if (ctx.package.seal == SealState::Sound) {
        return true;
    }
    for (const OperationRow& row : ctx.rows) {
        const PackageEntry* entry = ctx.RowEntry(row);
        if (entry == nullptr || !row.checked || entry->plainSize == entry->storedSize ||
            (copy ? ctx.RefusedCopyTarget(*entry) : ctx.RefusedTarget(*entry)) != nullptr) {
            continue;
        }
        if (!ExtractEntryContent(ctx.package, ctx.host, ctx.log, row.entryIndex)) {
            ctx.log.ProgressLine("- Fichier " + entry->sourceName);
            ctx.log.ProgressLine(failureLine);
            return false;
        }
    }
    return true;
}

} // namespace

bool CopyFilesToFolder(OperationContext& ctx) {
    Log& log = ctx.log;
    const std::string base = CopyBaseFolder(ctx);
    log.LogLine("* Copy file");
    log.LogLine("Base Folder " + base);
    log.ProgressLine("");
    log.ProgressLine("* Copier les fichiers dans un dossier");
    if (!UnpackSelectedFirst(ctx, true, "! Erreur durant la copie du fichier")) {
        return false;
    }
    bool result = true;
    for (const OperationRow& row : ctx.rows) {
        const PackageEntry* entry = ctx.RowEntry(row);
        if (entry == nullptr) {
            continue;
        }
        log.ProgressLine("- Fichier " + entry->sourceName);
        if (!row.checked) {
            log.ProgressLine(" Non sélectionné !");
            continue;
        }
        const std::string target = base + ctx.Display(entry->destination) + entry->sourceName;
        if (const char* reason = ctx.RefusedCopyTarget(*entry)) {
            LogRefusedPath(log, reason, target);
            log.ProgressLine(kRefusedPathLine + target);
            result = false;
            continue;
        }
        if (!EnsureFolderFor(ctx.host, target)) {
            log.ProgressLine(" Dossier de destination inaccéssible !\r\n" + FolderPart(target));
            result = false;
            continue;
        }
        if (ExtractEntryToFile(ctx.package, ctx.host, log, row.entryIndex, target)) {
            log.ProgressLine(" Copié avec succés !");
        } else {
            log.ProgressLine("! Erreur durant la copie du fichier");
            result = false;
        }
    }
    return result;
}

bool InstallFiles(OperationContext& ctx, bool backupFirst) {
    Log& log = ctx.log;
    Host& host = ctx.host;
    log.ProgressLine("");
    log.ProgressLine(backupFirst ? "* Installer les fichiers après la sauvegarde des anciens scrips"
                                 : "* Installer les fichiers");
    if (!UnpackSelectedFirst(ctx, false, "! Erreur durant l'installation fichier")) {
        return false;
    }
    const std::string backupFolder = BackupFolder(ctx);
    const std::string groupName = ctx.GroupName();
    bool result = true;
    for (const OperationRow& row : ctx.rows) {
        const PackageEntry* entry = ctx.RowEntry(row);
        if (entry == nullptr) {
            continue;
        }
        const std::string line1 = "- Fichier " + entry->sourceName;
        std::string line2;
        log.LogLine("- " + entry->sourceName + " of Jaws " + groupName);
        const std::string target = ctx.InstallTarget(*entry);
        if (const char* reason = ctx.RefusedTarget(*entry)) {
            // Neither written nor backed up: the path leads out of its folder.
            LogRefusedPath(log, reason, target);
            log.ProgressLine(line1);
            log.ProgressLine(row.checked ? kRefusedPathLine + target : " Non séléctionné !");
            result = result && !row.checked;
            continue;
        }

        if (backupFirst && host.IsFile(target)) {
            const std::string backup =
                backupFolder + ctx.Display(entry->destination) + entry->sourceName;
            if (!EnsureFolderFor(host, backup)) {
                line2 = "! Le dossier de sauvegarde est inaccéssible\n";
            } else if (!CopyFileOver(host, target, backup)) {
                line2 = "! La sauvegarde a échouée\n";
            }
        }

        if (!row.checked) {
            line2 = " Non séléctionné !";
        } else if (!EnsureFolderFor(host, target)) {
            line2 = " Dossier de destination inaccéssible !\r\n" + FolderPart(target);
            result = false;
        } else if (ExtractEntryToFile(ctx.package, host, log, row.entryIndex, target)) {
            line2 += " Installé avec succés !";
        } else {
            line2 += "! Erreur durant l'installation fichier";
            result = false;
        }
        log.ProgressLine(line1);
        log.ProgressLine(line2);
    }
    return result;
}

} // namespace vuni
