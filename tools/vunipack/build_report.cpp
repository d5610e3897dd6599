#include "build_report.h"

#include "json_text.h"
#include "package/package_types.h"
#include "tool_host.h"

#include <cstdio>

namespace vuni::pack {
namespace {

std::string GroupOf(const Manifest& m, int32_t index) {
    if (index == kIntroSoundGroup) {
        return "intro";
    }
    return index >= 0 && static_cast<size_t>(index) < m.groups.size()
               ? m.groups[static_cast<size_t>(index)].name
               : "?";
}

// The stored size as a percentage of the plain one, with one decimal ("-" for an empty file).
std::string Ratio(int64_t stored, int64_t plain) {
    if (plain <= 0) {
        return "-";
    }
    const int64_t tenths = (stored * 1000 + plain / 2) / plain;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " %";
}

void ReportJson(const std::string& output, const BuildResult& result, int64_t plain,
                int64_t stored) {
    JsonWriter w;
    w.BeginObject();
    w.Text("output", output);
    w.Number("installerSize", result.installerSize);
    w.BeginArray("files");
    for (const PackedFile& f : result.files) {
        const PackageEntry& e = result.manifest.files[f.index].entry;
        w.BeginObject();
        w.Text("name", e.sourceName);
        w.Text("group", GroupOf(result.manifest, e.groupIndex));
        w.Text("destination", e.destination);
        w.Number("plainSize", f.plainSize);
        w.Number("storedSize", f.storedSize);
        w.Text("method", f.packed ? "packed" : "stored");
        w.EndObject();
    }
    w.EndArray();
    w.Number("plainSize", plain);
    w.Number("storedSize", stored);
    w.EndObject();
    std::fputs((w.Result() + "\n").c_str(), stdout);
}

} // namespace

void ReportBuild(const std::string& output, const BuildResult& result, bool json) {
    int64_t plain = 0;
    int64_t stored = 0;
    size_t packed = 0;
    for (const PackedFile& f : result.files) {
        plain += f.plainSize;
        stored += f.storedSize;
        packed += f.packed ? 1 : 0;
    }
    if (json) {
        ReportJson(output, result, plain, stored);
        return;
    }
    std::string text;
    for (const PackedFile& f : result.files) {
        const PackageEntry& e = result.manifest.files[f.index].entry;
        text += "  " + GroupOf(result.manifest, e.groupIndex) + "  " + e.sourceName +
                (e.destination.empty() ? "" : " -> " + e.destination) + "  " +
                std::to_string(f.plainSize) + " -> " + std::to_string(f.storedSize) + " bytes, " +
                (f.packed ? "packed" : "stored") + " (" + Ratio(f.storedSize, f.plainSize) + ")\n";
    }
    text += "  total  " + std::to_string(plain) + " -> " + std::to_string(stored) + " bytes (" +
            Ratio(stored, plain) + ")\n";
    text += "vunipack: wrote " + output + ": " + std::to_string(result.files.size()) + " files (" +
            std::to_string(packed) + " compressed) in " +
            std::to_string(result.manifest.groups.size()) + " groups, " +
            std::to_string(result.installerSize) + " bytes\n";
    std::fputs(ToConsole(text).c_str(), stdout);
}

} // namespace vuni::pack
