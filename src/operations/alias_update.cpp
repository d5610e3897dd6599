#include "operations/alias_update.h"

#include "jaws/host_items.h"
#include "log/log.h"
#include "operations/config_names.h"
#include "operations/install_files.h"
#include "platform/host.h"
#include "text/text.h"

namespace vuni {

std::string ConfigNamesPath(const OperationContext& ctx) {
    return ctx.Expand(ctx.folder.scriptPath) + kConfigNamesFile;
}

bool AliasUpdate(OperationContext& ctx, bool remove) {
    Log& log = ctx.log;
    const std::string path = ConfigNamesPath(ctx);
    log.LogLine(std::string("* AliasUpdate( ") + (remove ? "1" : "0") + " ) ");
    log.LogLine(" " + path);

    const std::string aliasText = TrimBlanks(ctx.GroupAlias());
    if (aliasText.empty()) {
        return true;
    }
    log.ProgressLine("");
    log.ProgressLine("* Mise à jour des alias du ConfigNames.Ini");
    const std::vector<std::string> aliases = BuildAliasList(aliasText);

    if (!PrepareSettingsFile(ctx, path)) {
        log.ProgressLine("! Le fichier ConfigNames.Ini est introuvable");
        return false;
    }
    std::string text;
    if (!ctx.host.ReadWholeFile(path, text)) {
        log.ProgressLine("! Le fichier ConfigNames.Ini ne peut être ouvert !");
        return false;
    }
    const std::string output =
        RewriteConfigNames(text, aliases, ctx.package.info.scriptSetName, remove);
    if (!ctx.host.ReplaceFile(path, output.data(), output.size())) {
        log.ProgressLine("! Erreur durant l'écriture du fichier ConfigNames.Ini");
        return false;
    }
    return true;
}

} // namespace vuni
