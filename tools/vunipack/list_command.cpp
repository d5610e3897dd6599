// vunipack list: everything the installer reads of its package.
#include "command_line.h"
#include "commands.h"
#include "installer_file.h"
#include "json_text.h"
#include "manifest.h"
#include "package/info_fields.h"
#include "text/text.h"

#include <cstdio>
#include <string>
#include <vector>

namespace vuni::pack {
namespace {

const char kHelp[] =
    "Usage: vunipack list SETUP.exe [--json]\n"
    "\n"
    "Shows the package of an installer: the info section, the script groups with their\n"
    "aliases, and every file record with its sizes, flags and data offset. Entries are\n"
    "numbered from 0, as 'vunipack extract --entry N' takes them.\n"
    "\n"
    "  --json   one JSON object with 'info', 'groups' and 'entries' (texts in UTF-8)\n";

std::string Json(const PackageState& s) {
    JsonWriter w;
    w.BeginObject();
    w.BeginObject("info");
    for (const InfoField& f : kInfoFields) {
        if (f.kind == InfoFieldKind::Text) {
            w.Text(f.name, s.info.*f.text);
        } else {
            w.Number(f.name, s.info.*f.number);
        }
    }
    w.EndObject();
    w.BeginArray("groups");
    for (const ScriptGroup& g : s.groups) {
        w.BeginObject();
        w.Text("name", g.name);
        w.Text("alias", g.alias);
        w.EndObject();
    }
    w.EndArray();
    w.BeginArray("entries");
    for (const PackageEntry& e : s.entries) {
        w.BeginObject();
        w.Text("source", e.sourceName);
        w.Text("destination", e.destination);
        w.Number("group", e.groupIndex);
        w.Number("compileOrder", e.compileOrder);
        w.Number("plainSize", e.plainSize);
        w.Number("storedSize", e.storedSize);
        w.Number("flags", e.flags);
        w.Number("dataOffset", e.dataOffset);
        w.EndObject();
    }
    w.EndArray();
    w.EndObject();
    return w.Result();
}

std::string Hex(int32_t v) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%03x", static_cast<unsigned>(v));
    return buffer;
}

// A text field; its further lines are indented under the first.
std::string Indented(const std::string& text) {
    return ReplaceAll(ReplaceAll(text, "\r\n", "\n"), "\n", "\n                          ");
}

std::string Text(const PackageState& s) {
    std::string out = "Info section at " + Decimal(s.infoOffset) + "\n";
    auto field = [&out](const std::string& name, const std::string& value) {
        std::string label = "  " + name;
        label.resize(26, ' ');
        out += label + value + "\n";
    };
    for (const InfoField& f : kInfoFields) {
        switch (f.kind) {
        case InfoFieldKind::Date: {
            const int32_t date = s.info.*f.number;
            field(f.name, FormatPackageDate(date) + " (" + Decimal(date) + ")");
            break;
        }
        case InfoFieldKind::Flags: {
            const int32_t flags = s.info.*f.number;
            const std::string names = InfoFlagNames(flags);
            field(f.name, Hex(flags) + (names.empty() ? "" : " (" + names + ")"));
            break;
        }
        case InfoFieldKind::Text:
            field(f.name, Indented(s.info.*f.text));
            break;
        }
    }
    out += "Groups (" + Decimal(static_cast<int64_t>(s.groups.size())) + ")\n";
    for (size_t i = 0; i < s.groups.size(); ++i) {
        out += "  " + Decimal(static_cast<int64_t>(i)) + "  " + s.groups[i].name +
               "  alias: " + s.groups[i].alias + "\n";
    }
    out += "Entries (" + Decimal(static_cast<int64_t>(s.entries.size())) + ")\n";
    for (size_t i = 0; i < s.entries.size(); ++i) {
        const PackageEntry& e = s.entries[i];
        const std::string names = EntryFlagNames(e.flags);
        out += "  " + Decimal(static_cast<int64_t>(i)) + "  " + e.sourceName + " -> " +
               e.destination + "\n      group " + Decimal(e.groupIndex) + " (" +
               GroupLabel(s, e.groupIndex) + "), compile order " + Decimal(e.compileOrder) +
               ", flags " + Hex(e.flags) + (names.empty() ? "" : " (" + names + ")") + "\n      " +
               Decimal(e.plainSize) + " bytes, " +
               (e.storedSize == e.plainSize ? std::string("stored")
                                            : "packed in " + Decimal(e.storedSize) + " bytes") +
               ", data at " + Decimal(e.dataOffset) + "\n";
    }
    return out;
}

} // namespace

int RunListCommand(const std::vector<std::string>& args) {
    const ParsedArgs a = ParseArgs(args, {{}, {"--json"}});
    if (a.help) {
        std::fputs(kHelp, stdout);
        return kExitOk;
    }
    if (!a.error.empty()) {
        return UsageError("list", a.error);
    }
    if (a.positional.size() != 1) {
        return UsageError("list", "give exactly one installer");
    }
    ToolHost tool;
    InstallerFile installer;
    if (!installer.Open(tool, a.positional[0])) {
        return kExitBadInput;
    }
    const PackageState& s = installer.State();
    if (a.flags.count("--json") != 0) {
        std::fputs(Json(s).c_str(), stdout);
    } else {
        const std::string text = "Installer " + a.positional[0] + "\n" + ToConsole(Text(s));
        std::fputs(text.c_str(), stdout);
    }
    return kExitOk;
}

} // namespace vuni::pack
