// vunipack build: the stub followed by the package a manifest describes.
#include "command_line.h"
#include "commands.h"
#include "manifest.h"
#include "pack_choice.h"
#include "package/jcalg1.h"
#include "package/marker.h"
#include "package/package.h"
#include "package/package_writer.h"
#include "text/text.h"
#include "tool_host.h"

#include <cstdio>
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
    "\n"
    "Appends the package described by MANIFEST (see docs/manifest.md) to a copy of the\n"
    "installer stub and writes the result to SETUP.exe. Nothing is written when the\n"
    "manifest or one of its files has a fault: every fault is reported with the\n"
    "manifest's name and line.\n"
    "\n"
    "  -o, --output FILE  the installer to write (replaced only once complete)\n"
    "  --stub FILE        the installer stub (default: vuni.exe beside vunipack)\n"
    "  --store            store every file scrambled, without compression\n"
    "  --level N          compression level 1 (fastest) to 9 (smallest); default 5\n";

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

} // namespace

int RunBuildCommand(const std::vector<std::string>& args) {
    const ParsedArgs a = ParseArgs(args, {{"-o", "--output", "--stub", "--level"}, {"--store"}});
    if (a.help) {
        std::fputs(kHelp, stdout);
        return kExitOk;
    }
    if (!a.error.empty()) {
        return UsageError("build", a.error);
    }
    if (a.positional.size() != 1) {
        return UsageError("build", a.positional.empty() ? "no manifest given"
                                                        : "only one manifest can be given");
    }
    std::string output;
    if (a.values.count("-o") != 0) {
        output = a.values.at("-o");
    }
    if (a.values.count("--output") != 0) {
        output = a.values.at("--output");
    }
    if (output.empty()) {
        return UsageError("build", "no output file given (-o SETUP.exe)");
    }
    int level = kDefaultLevel;
    if (a.values.count("--level") != 0) {
        const std::string& l = a.values.at("--level");
        if (l.size() != 1 || l[0] < '1' || l[0] > '9') {
            return UsageError("build", "--level takes a number from 1 to 9");
        }
        level = l[0] - '0';
    }
    const bool store = a.flags.count("--store") != 0;
    const std::string& manifestArg = a.positional[0];

    ToolHost tool;
    Host& host = tool.Get();
    std::string manifestPath;
    std::string outputPath;
    if (!tool.ToHostPath(manifestArg, manifestPath)) {
        PrintError(manifestArg + ": this name cannot be written in Windows-1252");
        return kExitBadInput;
    }
    if (!tool.ToHostPath(output, outputPath)) {
        PrintError(output + ": this name cannot be written in Windows-1252");
        return kExitBadInput;
    }

    // The manifest.
    std::string manifestBytes;
    if (!host.ReadWholeFile(manifestPath, manifestBytes)) {
        PrintError(manifestArg + ": cannot read the manifest");
        return kExitBadInput;
    }
    Manifest manifest;
    std::vector<ManifestError> errors;
    ParseManifest(manifestBytes, manifest, errors);
    auto where = [&manifestArg](int line) {
        return line > 0 ? manifestArg + ":" + std::to_string(line) + ": " : manifestArg + ": ";
    };

    // Every file must exist before anything is read.
    const std::string manifestFolder = FolderPart(manifestPath);
    std::vector<std::string> filePaths;
    for (const ManifestFile& f : manifest.files) {
        const std::string p = IsAbsoluteWindowsPath(f.path) ? f.path : manifestFolder + f.path;
        filePaths.push_back(p);
        const int64_t size = host.FileSize(p);
        if (size < 0) {
            errors.push_back({f.line, "cannot read file '" + f.path + "'"});
        } else if (size > INT32_MAX) {
            errors.push_back({f.line, "file '" + f.path + "' is larger than 2 GB"});
        }
    }

    // The stub.
    std::string stubArg;
    std::string stubPath;
    if (a.values.count("--stub") != 0) {
        stubArg = a.values.at("--stub");
        if (!tool.ToHostPath(stubArg, stubPath)) {
            PrintError(stubArg + ": this name cannot be written in Windows-1252");
            return kExitBadInput;
        }
    } else {
        const std::string folder = tool.OwnFolder();
        stubPath = folder + "vuni.exe";
        stubArg = tool.ToCommandLinePath(stubPath);
        if (folder.empty() || !host.IsFile(stubPath)) {
            for (const ManifestError& e : errors) {
                PrintError(where(e.line) + ToConsole(e.message));
            }
            PrintError("no installer stub: vuni.exe is not beside vunipack (" + stubArg +
                       "); name one with --stub");
            return kExitBadInput;
        }
    }
    if (!errors.empty()) {
        for (const ManifestError& e : errors) {
            PrintError(where(e.line) + ToConsole(e.message));
        }
        PrintError("nothing written");
        return kExitBadInput;
    }
    std::string out;
    if (!host.ReadWholeFile(stubPath, out)) {
        PrintError(stubArg + ": cannot read the installer stub");
        return kExitBadInput;
    }
    const std::string marker = PackageMarker();
    if (HoldsMarkerLine(out, marker)) {
        PrintError(stubArg + ": the stub already holds a package marker line (is it an "
                             "installer already?); nothing written");
        return kExitBadInput;
    }

    int64_t totalPlain = 0;
    for (const std::string& p : filePaths) {
        totalPlain += host.FileSize(p);
    }
    const bool progress = totalPlain > kProgressThreshold;

    PackageWriter writer([&out](const void* data, size_t size) {
        out.append(static_cast<const char*>(data), size);
        return true;
    });
    if (!writer.WriteHeader(manifest.info, manifest.groups)) {
        PrintError("cannot write the package header; nothing written");
        return kExitBadInput;
    }
    size_t packedCount = 0;
    for (size_t i = 0; i < manifest.files.size(); ++i) {
        const ManifestFile& f = manifest.files[i];
        std::string data;
        if (!host.ReadWholeFile(filePaths[i], data) || data.size() > INT32_MAX) {
            PrintError(where(f.line) + "cannot read file '" + ToConsole(f.path) +
                       "'; nothing written");
            return kExitBadInput;
        }
        if (progress) {
            PrintError("[" + std::to_string(i + 1) + "/" + std::to_string(manifest.files.size()) +
                       "] " + ToConsole(f.path) + " (" + std::to_string(data.size()) + " bytes)");
        }
        StoredForm form = ChooseStoredForm(data, store, level);
        if (!form.warning.empty()) {
            PrintError(where(f.line) + "'" + ToConsole(f.path) + "': " + form.warning);
        }
        packedCount += form.packed ? 1 : 0;
        PackageEntry e = f.entry;
        e.plainSize = static_cast<int32_t>(data.size());
        if (!writer.WriteEntry(e, std::move(form.bytes))) {
            PrintError(where(f.line) + "cannot write the record of '" + ToConsole(f.path) +
                       "'; nothing written");
            return kExitBadInput;
        }
        if (static_cast<int64_t>(out.size()) > kMaxInstallerSize) {
            PrintError("the installer would be larger than 2 GB; nothing written");
            return kExitBadInput;
        }
    }
    if (!host.ReplaceFile(outputPath, out.data(), out.size())) {
        PrintError(output + ": cannot write the installer; nothing written");
        return kExitBadInput;
    }
    const std::string done =
        "vunipack: wrote " + output + ": " + std::to_string(manifest.files.size()) + " files (" +
        std::to_string(packedCount) + " compressed) in " + std::to_string(manifest.groups.size()) +
        " groups, " + std::to_string(out.size()) + " bytes\n";
    std::fputs(done.c_str(), stdout);
    return kExitOk;
}

} // namespace vuni::pack
