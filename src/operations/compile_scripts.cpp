#include "operations/compile_scripts.h"

#include "jaws/host_items.h"
#include "log/log.h"
#include "platform/host.h"
#include "text/stable_order.h"
#include "text/text.h"

#include <vector>

namespace vuni {

namespace {

// A private copy of an entry to compile; changing it never touches the package.
struct CompileItem {
    std::string sourceName;
    std::string destination;
    int32_t flags = 0;
    int32_t compileOrder = 0;
    bool selected = false;
};

std::vector<CompileItem> BuildCompileList(OperationContext& ctx, bool remove) {
    std::vector<CompileItem> list;
    for (const OperationRow& row : ctx.rows) {
        const PackageEntry* entry = ctx.RowEntry(row);
        // A file whose path was refused was not installed: nothing of it is compiled.
        if (entry == nullptr || ctx.RefusedTarget(*entry) != nullptr) {
            continue;
        }
        CompileItem item{entry->sourceName, entry->destination, entry->flags, entry->compileOrder,
                         row.checked};
        if ((entry->flags & EntryCompilable) != 0 && !remove) {
            list.push_back(std::move(item));
        } else if ((entry->flags & EntryAssociable) != 0) {
            item.sourceName = kDefaultScript;
            list.push_back(std::move(item));
        }
    }
    return list;
}

} // namespace

std::string CompilerPath(const OperationContext& ctx) {
    return ctx.folder.installPath + kScriptCompiler;
}

bool CompileScripts(OperationContext& ctx, bool remove) {
    Log& log = ctx.log;
    log.LogLine("* Search file to compile");
    std::vector<CompileItem> list = BuildCompileList(ctx, remove);
    if (list.empty()) {
        return true;
    }
    log.ProgressLine("");
    log.ProgressLine("* Compilation de fichier JSS");
    StableSort(list, [](const CompileItem& a, const CompileItem& b) {
        return a.compileOrder < b.compileOrder;
    });
    int failures = 0;
    for (const CompileItem& item : list) {
        log.ProgressLine("- Script " + item.sourceName);
        const bool refused = (item.flags & (EntryNoCompile | EntryNoAssociation)) != 0;
        if (!item.selected || refused) {
            log.ProgressLine(" Désélectionnée par l'utilisateur");
            continue;
        }
        const std::string path = ctx.Expand(item.destination) + item.sourceName;
        if (!ctx.host.IsFile(path)) {
            log.ProgressLine("! Le fichier est inaccéssible");
            ++failures;
        } else if (CompileScript(ctx, path)) {
            log.ProgressLine(" Compilation effectuée avec succés !");
        } else {
            log.ProgressLine("! La compilation a échouée");
            ++failures;
        }
    }
    return failures == 0;
}

bool CompileScript(OperationContext& ctx, const std::string& sourcePath) {
    Log& log = ctx.log;
    Host& host = ctx.host;
    const std::string compiler = CompilerPath(ctx);
    log.LogLine("* Script to compile ");
    log.LogLine(" - JCompil = " + compiler);
    if (!host.IsFile(compiler)) {
        log.LogLine("! Error, file not found");
        return false;
    }
    log.LogLine(" - File = " + sourcePath);
    const std::string commandLine = "\"" + compiler + "\" \"" + sourcePath + "\"";
    ProcessRun run = host.StartProcess(compiler, commandLine, FolderPart(sourcePath), true);
    log.LogLine(" Id scompile.exe = " + Decimal(run.id));
    if (run.id == 0) {
        host.ReleaseProcess(run);
        return false;
    }
    bool result = false;
    if (host.WaitProcess(run, ctx.processTimeoutMs)) {
        const uint32_t code = host.ProcessExitCode(run);
        if (code == 0) {
            result = true;
        } else {
            log.LogLine(" ExitCode = " + Decimal(code));
        }
    }
    host.ReleaseProcess(run);
    return result;
}

} // namespace vuni
