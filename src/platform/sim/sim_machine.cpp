#include "platform/sim/sim_machine.h"

#include "text/text.h"

#include <fstream>
#include <iterator>

namespace vuni {
namespace fs = std::filesystem;
namespace {

bool ReadBytes(const fs::path& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool ParseNumber(const std::string& text, int64_t& out) {
    const std::string t = TrimBlanks(text);
    if (t.empty() || t.find_first_not_of("0123456789") != std::string::npos || t.size() > 10) {
        return false;
    }
    out = LeadingInteger(t);
    return true;
}

bool ParseFlag(const std::string& text, bool& out) {
    const std::string t = Lower(TrimBlanks(text));
    if (t == "1" || t == "yes" || t == "true") {
        out = true;
        return true;
    }
    if (t == "0" || t == "no" || t == "false") {
        out = false;
        return true;
    }
    return false;
}

} // namespace

bool ParseMachineDescription(const std::string& rawText, MachineDescription& out,
                             std::string& error) {
    std::string text;
    if (StartsWith(rawText, "\xEF\xBB\xBF")) {
        text = rawText.substr(3);
    } else {
        text = rawText;
    }
    std::string converted;
    if (Utf8ToCp1252(text, converted)) {
        text = converted; // else it is Windows-1252 already
    }
    std::string section;
    size_t lineNumber = 0;
    for (std::string line : Split(text, '\n')) {
        ++lineNumber;
        line = TrimBlanks(line);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == ';' || line[0] == '#') {
            continue;
        }
        const std::string where = "machine.ini line " + Decimal(static_cast<int64_t>(lineNumber));
        if (line[0] == '[') {
            if (line.back() != ']') {
                error = where + ": unclosed section";
                return false;
            }
            section = Lower(line.substr(1, line.size() - 2));
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos) {
            error = where + ": no '='";
            return false;
        }
        const std::string key = TrimBlanks(line.substr(0, eq));
        const std::string value = TrimBlanks(line.substr(eq + 1));
        const std::string lkey = Lower(key);
        int64_t number = 0;
        bool ok = true;
        if (section == "machine") {
            if (lkey == "versionclass") {
                ok = ParseNumber(value, number);
                out.versionClass = static_cast<int>(number);
            } else if (lkey == "windows64") {
                ok = ParseFlag(value, out.windows64);
            } else if (lkey == "restricteduser") {
                ok = ParseFlag(value, out.restrictedUser);
            } else if (lkey == "currentfolder") {
                out.currentFolder = value;
            } else if (lkey == "temporaryfolder") {
                out.temporaryFolder = value;
            } else if (lkey == "ownprogram") {
                out.ownProgram = value;
            } else {
                error.assign(where).append(": unknown key ").append(key);
                return false;
            }
        } else if (section == "shellfolders") {
            ok = ParseNumber(key, number);
            out.shellFolders.emplace_back(static_cast<int>(number), value);
        } else if (section == "processes") {
            ok = ParseNumber(key, number) && number > 0 && number <= 0xFFFFFFFFLL;
            out.processes.emplace_back(static_cast<uint32_t>(number), value);
        } else if (section == "standins") {
            out.standins.push_back({key, value});
        } else {
            error = where + ": key outside a known section";
            return false;
        }
        if (!ok) {
            error = where + ": not a valid value";
            return false;
        }
    }
    return true;
}

fs::path NativeStandinFile(const fs::path& standinDir, const std::string& name) {
    std::error_code ec;
    for (const std::string& candidate : {name, name + ".so"}) {
        fs::path p = standinDir / candidate;
        if (fs::is_regular_file(p, ec)) {
            return p;
        }
    }
    return {};
}

bool LoadMachine(SimHost& host, const fs::path& machineDir, std::string& error,
                 const fs::path& standinDir, MachineDescription* description) {
    std::error_code ec;
    if (!fs::is_directory(machineDir, ec)) {
        error = "no machine folder " + machineDir.string();
        return false;
    }
    const fs::path drive = machineDir / "drive_c";
    if (fs::is_directory(drive, ec)) {
        fs::copy(drive, host.SandboxRoot() / "c",
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
        if (ec) {
            error = "cannot copy drive_c: " + ec.message();
            return false;
        }
    }
    std::string bytes;
    const fs::path reg = machineDir / "registry.reg";
    if (fs::exists(reg, ec)) {
        if (!ReadBytes(reg, bytes) || !host.Registry().Import(bytes)) {
            error = "registry.reg is not a registry file";
            return false;
        }
    }
    MachineDescription d;
    const fs::path ini = machineDir / "machine.ini";
    if (fs::exists(ini, ec)) {
        if (!ReadBytes(ini, bytes)) {
            error = "cannot read machine.ini";
            return false;
        }
        if (!ParseMachineDescription(bytes, d, error)) {
            return false;
        }
    }
    host.SetWindowsVersionClass(d.versionClass);
    host.SetWindows64(d.windows64);
    host.SetRestrictedUser(d.restrictedUser);
    if (!d.currentFolder.empty()) {
        host.SetCurrentFolder(d.currentFolder);
    }
    if (!d.temporaryFolder.empty()) {
        host.SetTemporaryFolder(d.temporaryFolder);
    }
    if (!d.ownProgram.empty()) {
        host.SetOwnProgramPath(d.ownProgram);
    }
    for (const auto& [csidl, folder] : d.shellFolders) {
        host.SetSpecialFolder(csidl, folder);
    }
    for (const auto& [id, path] : d.processes) {
        host.AddProcess(id, path);
    }
    if (!standinDir.empty()) {
        for (const MachineStandin& s : d.standins) {
            const fs::path from = NativeStandinFile(standinDir, s.name);
            const fs::path to = host.ToHostPath(s.windowsPath);
            if (from.empty() || to.empty()) {
                error = "no stand-in " + s.name + " for " + s.windowsPath;
                return false;
            }
            fs::create_directories(to.parent_path(), ec);
            fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
            if (ec) {
                error = "cannot copy stand-in " + s.name + ": " + ec.message();
                return false;
            }
        }
    }
    if (description != nullptr) {
        *description = std::move(d);
    }
    return true;
}

} // namespace vuni
