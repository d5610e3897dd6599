// vunipack check: a manifest's faults and warnings, without building anything.
#include "command_line.h"
#include "commands.h"
#include "manifest.h"
#include "manifest_warnings.h"
#include "text/text.h"
#include "tool_host.h"

#include <cstdio>
#include <string>
#include <vector>

namespace vuni::pack {
namespace {

const char kHelp[] =
    "Usage: vunipack check MANIFEST [--strict]\n"
    "\n"
    "Reads MANIFEST (see docs/manifest.md) and reports its faults and warnings with the\n"
    "manifest's name and line, as 'vunipack build' would, without reading the files it\n"
    "names or writing anything. Exit code 1 when the manifest has a fault, or a warning\n"
    "with --strict.\n";

} // namespace

int RunCheckCommand(const std::vector<std::string>& args) {
    const ParsedArgs a = ParseArgs(args, {{}, {"--strict"}});
    if (a.help) {
        std::fputs(kHelp, stdout);
        return kExitOk;
    }
    if (!a.error.empty()) {
        return UsageError("check", a.error);
    }
    if (a.positional.size() != 1) {
        return UsageError("check", "give exactly one manifest");
    }
    ToolHost tool;
    std::string path;
    std::string bytes;
    if (!tool.ToHostPath(a.positional[0], path) || !tool.Get().ReadWholeFile(path, bytes)) {
        PrintError(a.positional[0] + ": cannot read the manifest");
        return kExitBadInput;
    }
    Manifest manifest;
    std::vector<ManifestError> errors;
    const bool sound = ParseManifest(bytes, manifest, errors);
    const std::vector<ManifestError> warnings =
        sound ? ManifestWarnings(manifest) : std::vector<ManifestError>();
    const bool strict = a.flags.count("--strict") != 0;
    const auto where = [&a](int line) {
        return a.positional[0] + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": ";
    };
    for (const ManifestError& e : errors) {
        PrintError(where(e.line) + ToConsole(e.message));
    }
    for (const ManifestError& w : warnings) {
        PrintError(where(w.line) + (strict ? "" : "warning: ") + ToConsole(w.message));
    }
    if (!sound || (strict && !warnings.empty())) {
        return kExitBadInput;
    }
    std::fputs(("vunipack: " + a.positional[0] + ": sound, " + std::to_string(warnings.size()) +
                " warning(s)\n")
                   .c_str(),
               stdout);
    return kExitOk;
}

} // namespace vuni::pack
