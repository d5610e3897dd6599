// vunipack build: the stub followed by the package a manifest describes.
#include "build_report.h"
#include "command_line.h"
#include "commands.h"
#include "manifest.h"
#include "manifest_warnings.h"
#include "pack_choice.h"
#include "package/jcalg1.h"
#include "package/marker.h"
#include "package/package.h"
#include "package/package_writer.h"
#include "text/text.h"
#include "tool_host.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace vuni::pack {
namespace {

constexpr int kDefaultLevel = kJcalg1DefaultLevel;
static_assert(kDefaultLevel == 5, "the help text below names the default level");
// Above this much file data, each file is reported on stderr as it is packed.
constexpr int64_t kProgressThreshold = int64_t{8} << 20;
constexpr int64_t kMaxInstallerSize = 2147483647; // the reader cannot read past 2 GB

const char kHelp[] =
    "Usage: vunipack build MANIFEST -o SETUP.exe [--stub vuni.exe] [--store] [--level N]\n"
    "                      [--strict] [--json] [--convert-utf8]\n"
    "\n"
    "Appends the package described by MANIFEST (see docs/manifest.md) to a copy of the\n"
    "installer stub and writes the result to SETUP.exe. Nothing is written when the\n"
    "manifest or one of its files has a fault: every fault is reported with the\n"
    "manifest's name and line.\n"
    "\n"
    "  -o, --output FILE  the installer to write (replaced only once complete)\n"
    "  --stub FILE        the installer stub (default: vuni.exe beside vunipack, else\n"
    "                     ../share/vuni/vuni.exe from vunipack's folder)\n"
    "  --store            store every file scrambled, without compression\n"
    "  --level N          compression level 1 (fastest) to 9 (smallest); default 5\n"
    "  --strict           treat warnings (a package that builds but will not work as\n"
    "                     meant) as faults: nothing is written\n"
    "  --json             the report (each file, its sizes and how it was stored) as JSON\n"
    "  --convert-utf8     text files saved as UTF-8 (scripts, headers, messages, key maps,\n"
    "                     INI, TXT) go into the package as Windows-1252\n";

bool IsAbsoluteWindowsPath(const std::string& p) {
    return (p.size() >= 2 && p[1] == ':') || (!p.empty() && (p[0] == '\\' || p[0] == '/'));
}

// True when the image holds the marker as a line of its own: the reader would take the
// package to start there.
bool HoldsMarkerLine(const std::string& image, const std::string& marker) {
    auto isBreak = [](char c) { return c == '\n' || c == '\r' || c == '\0'; };
    for (size_t at = image.find(marker); at != std::string::npos; at = image.find(marker, at + 1)) {
        const size_t end = at + marker.size();
        if ((at == 0 || isBreak(image[at - 1])) && (end == image.size() || isBreak(image[end]))) {
            return true;
        }
    }
    return false;
}

struct BuildOptions {
    std::string manifest; // as given on the command line
    std::string output;
    std::optional<std::string> stub; // none: vuni.exe beside vunipack
    int level = kDefaultLevel;
    bool store = false;
    bool strict = false;      // warnings stop the build
    bool json = false;        // the report as JSON
    bool convertUtf8 = false; // text files saved as UTF-8 go in as Windows-1252
};

// A command line's options; nothing after the help or a usage error, with exitCode set.
std::optional<BuildOptions> ParseBuildOptions(const std::vector<std::string>& args, int& exitCode) {
    const ParsedArgs a = ParseArgs(args, {{"-o", "--output", "--stub", "--level"},
                                          {"--store", "--strict", "--json", "--convert-utf8"}});
    const auto usage = [&exitCode](const std::string& message) {
        exitCode = UsageError("build", message);
        return std::nullopt;
    };
    if (a.help) {
        std::fputs(kHelp, stdout);
        exitCode = kExitOk;
        return std::nullopt;
    }
    if (!a.error.empty()) {
        return usage(a.error);
    }
    if (a.positional.size() != 1) {
        return usage(a.positional.empty() ? "no manifest given" : "only one manifest can be given");
    }
    BuildOptions options;
    options.manifest = a.positional[0];
    for (const char* name : {"-o", "--output"}) { // the long form wins when both are given
        if (a.values.count(name) != 0) {
            options.output = a.values.at(name);
        }
    }
    if (options.output.empty()) {
        return usage("no output file given (-o SETUP.exe)");
    }
    if (a.values.count("--level") != 0) {
        const std::string& l = a.values.at("--level");
        if (l.size() != 1 || l[0] < '1' || l[0] > '9') {
            return usage("--level takes a number from 1 to 9");
        }
        options.level = l[0] - '0';
    }
    if (a.values.count("--stub") != 0) {
        options.stub = a.values.at("--stub");
    }
    options.store = a.flags.count("--store") != 0;
    options.strict = a.flags.count("--strict") != 0;
    options.json = a.flags.count("--json") != 0;
    options.convertUtf8 = a.flags.count("--convert-utf8") != 0;
    return options;
}

// The build's inputs and their faults: the manifest read and parsed, the Windows paths of
// its files (each checked to exist and to fit), of the stub and of the output.
struct BuildInputs {
    std::string outputPath;
    std::string stubArg; // the stub as messages name it
    std::string stubPath;
    std::vector<std::string> filePaths; // in manifest order
    std::vector<ManifestError> errors;
};

std::string Where(const std::string& manifestArg, int line) {
    return line > 0 ? manifestArg + ":" + std::to_string(line) + ": " : manifestArg + ": ";
}

void PrintErrors(const std::string& manifestArg, const std::vector<ManifestError>& errors) {
    for (const ManifestError& e : errors) {
        PrintError(Where(manifestArg, e.line) + ToConsole(e.message));
    }
}

// A PE image: "MZ", then "PE\0\0" where e_lfanew points.
bool IsWindowsProgram(const std::string& image) {
    if (image.size() < 0x40 || image.compare(0, 2, "MZ") != 0) {
        return false;
    }
    uint32_t lfanew = 0;
    for (int i = 3; i >= 0; --i) {
        lfanew = (lfanew << 8) | static_cast<uint8_t>(image[0x3C + static_cast<size_t>(i)]);
    }
    return lfanew <= image.size() - 4 && image.compare(lfanew, 4, std::string("PE\0\0", 4)) == 0;
}

// Prints the warnings in line order; false (with "nothing written") when strict makes them
// faults.
bool ReportWarnings(const std::string& manifestArg, std::vector<ManifestError> warnings,
                    bool strict) {
    std::stable_sort(
        warnings.begin(), warnings.end(),
        [](const ManifestError& a, const ManifestError& b) { return a.line < b.line; });
    for (const ManifestError& w : warnings) {
        PrintError(Where(manifestArg, w.line) + (strict ? "" : "warning: ") + ToConsole(w.message));
    }
    if (strict && !warnings.empty()) {
        PrintError("warnings are faults with --strict; nothing written");
        return false;
    }
    return true;
}

// Reads the manifest and finds every input; false once a fault has been printed.
bool GatherInputs(ToolHost& tool, const BuildOptions& options, Manifest& manifest,
                  BuildInputs& in) {
    Host& host = tool.Get();
    std::string manifestPath;
    if (!tool.ToHostPath(options.manifest, manifestPath)) {
        PrintError(options.manifest + ": this name cannot be written in Windows-1252");
        return false;
    }
    if (!tool.ToHostPath(options.output, in.outputPath)) {
        PrintError(options.output + ": this name cannot be written in Windows-1252");
        return false;
    }
    std::string manifestBytes;
    if (!host.ReadWholeFile(manifestPath, manifestBytes)) {
        PrintError(options.manifest + ": cannot read the manifest");
        return false;
    }
    ParseManifest(manifestBytes, manifest, in.errors);

    // Every file must exist before anything is read.
    const std::string manifestFolder = FolderPart(manifestPath);
    for (const ManifestFile& f : manifest.files) {
        const std::string p = IsAbsoluteWindowsPath(f.path) ? f.path : manifestFolder + f.path;
        in.filePaths.push_back(p);
        const int64_t size = host.FileSize(p);
        if (size < 0) {
            in.errors.push_back({f.line, "cannot read file '" + f.path + "'"});
        } else if (size > INT32_MAX) {
            in.errors.push_back({f.line, "file '" + f.path + "' is larger than 2 GB"});
        }
    }

    if (options.stub) {
        in.stubArg = *options.stub;
        if (!tool.ToHostPath(in.stubArg, in.stubPath)) {
            PrintError(in.stubArg + ": this name cannot be written in Windows-1252");
            return false;
        }
    } else {
        // Beside vunipack (a build tree, the Windows zip), else where an install puts it
        // (bin/vunipack and share/vuni/vuni.exe).
        const std::string folder = tool.OwnFolder();
        in.stubPath = folder + "vuni.exe";
        if (!folder.empty() && !host.IsFile(in.stubPath) &&
            host.IsFile(folder + "..\\share\\vuni\\vuni.exe")) {
            in.stubPath = folder + "..\\share\\vuni\\vuni.exe";
        }
        in.stubArg = tool.ToCommandLinePath(in.stubPath);
        if (folder.empty() || !host.IsFile(in.stubPath)) {
            PrintErrors(options.manifest, in.errors);
            PrintError("no installer stub: vuni.exe is neither beside vunipack nor in "
                       "../share/vuni/ (" +
                       in.stubArg + "); name one with --stub");
            return false;
        }
    }
    if (!in.errors.empty()) {
        PrintErrors(options.manifest, in.errors);
        PrintError("nothing written");
        return false;
    }
    return true;
}

// Makes the installer (the stub, then the package) in memory and writes it to the output;
// false, with nothing written, once a fault has been printed.
bool BuildInstaller(ToolHost& tool, const BuildOptions& options, BuildResult& result) {
    Host& host = tool.Get();
    BuildInputs in;
    if (!GatherInputs(tool, options, result.manifest, in)) {
        return false;
    }
    const Manifest& manifest = result.manifest;
    std::vector<ManifestError> warnings = ManifestWarnings(manifest);
    std::string out;
    if (!host.ReadWholeFile(in.stubPath, out)) {
        PrintError(in.stubArg + ": cannot read the installer stub");
        return false;
    }
    if (!IsWindowsProgram(out)) {
        warnings.push_back({0, "the installer stub " + in.stubArg +
                                   " is not a Windows program: the installer will not run"});
    }
    if (HoldsMarkerLine(out, PackageMarker())) {
        PrintError(in.stubArg + ": the stub already holds a package marker line (is it an "
                                "installer already?); nothing written");
        return false;
    }

    int64_t totalPlain = 0;
    for (const std::string& p : in.filePaths) {
        totalPlain += host.FileSize(p);
    }
    const bool progress = totalPlain > kProgressThreshold;

    // The file records go first into their own buffer: the header's seal covers them.
    std::string body;
    PackageWriter writer([&body](const void* data, size_t size) {
        body.append(static_cast<const char*>(data), size);
        return true;
    });
    for (size_t i = 0; i < manifest.files.size(); ++i) {
        const ManifestFile& f = manifest.files[i];
        const std::string where = Where(options.manifest, f.line);
        std::string data;
        if (!host.ReadWholeFile(in.filePaths[i], data)) {
            PrintError(where + "cannot read file '" + ToConsole(f.path) + "'; nothing written");
            return false;
        }
        if (static_cast<int64_t>(data.size()) > kMaxEntrySize) {
            PrintError(where + "'" + ToConsole(f.path) +
                       "' is larger than an installer can hold (" + std::to_string(kMaxEntrySize) +
                       " bytes); nothing written");
            return false;
        }
        if (progress) {
            PrintError("[" + std::to_string(i + 1) + "/" + std::to_string(manifest.files.size()) +
                       "] " + ToConsole(f.path) + " (" + std::to_string(data.size()) + " bytes)");
        }
        if (options.convertUtf8 && IsTextFile(f.entry.sourceName) && Utf8TextLine(data) != 0) {
            std::string converted;
            if (!Utf8ToCp1252(
                    std::string_view(data).substr(StartsWith(data, "\xEF\xBB\xBF") ? 3 : 0),
                    converted)) {
                PrintError(where + "'" + ToConsole(f.path) +
                           "' holds a character that Windows-1252 cannot hold; nothing written");
                return false;
            }
            data = std::move(converted);
        } else if (std::string w = ContentWarning(f, data); !w.empty()) {
            warnings.push_back({f.line, std::move(w)});
        }
        StoredForm form = ChooseStoredForm(data, options.store, options.level);
        if (!form.warning.empty()) {
            PrintError(where + "'" + ToConsole(f.path) + "': " + form.warning);
        }
        PackageEntry e = f.entry;
        e.plainSize = static_cast<int32_t>(data.size());
        result.files.push_back(
            {i, e.plainSize, static_cast<int64_t>(form.bytes.size()), form.packed});
        if (!writer.WriteEntry(e, std::move(form.bytes))) {
            PrintError(where + "cannot write the record of '" + ToConsole(f.path) +
                       "'; nothing written");
            return false;
        }
        if (static_cast<int64_t>(out.size() + body.size()) > kMaxInstallerSize) {
            PrintError("the installer would be larger than 2 GB; nothing written");
            return false;
        }
    }
    if (!ReportWarnings(options.manifest, warnings, options.strict)) {
        return false;
    }
    const std::string header = SealedHeader(manifest.info, manifest.groups,
                                            static_cast<int32_t>(manifest.files.size()), body);
    if (header.empty()) {
        PrintError("cannot write the package header; nothing written");
        return false;
    }
    out += header;
    out += body;
    body = std::string();
    if (!host.ReplaceFile(in.outputPath, out.data(), out.size())) {
        PrintError(options.output + ": cannot write the installer; nothing written");
        return false;
    }
    result.installerSize = static_cast<int64_t>(out.size());
    return true;
}

} // namespace

int RunBuildCommand(const std::vector<std::string>& args) {
    int exitCode = kExitOk;
    const std::optional<BuildOptions> options = ParseBuildOptions(args, exitCode);
    if (!options) {
        return exitCode;
    }
    ToolHost tool;
    BuildResult result;
    if (!BuildInstaller(tool, *options, result)) {
        return kExitBadInput;
    }
    ReportBuild(options->output, result, options->json);
    return kExitOk;
}

} // namespace vuni::pack
