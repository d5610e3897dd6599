#include "ops_world.h"

#include "package/marker.h"
#include "package/package.h"
#include "testing/shared_dir.h"
#include "text/text.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace vuni::testing {

namespace fs = std::filesystem;

std::string TestExpandPlaceholders(const std::string& path, const std::string& scriptPath) {
    const std::pair<std::string, std::string> table[] = {
        {"%User%", StripTrailingBackslash(kUserRoot)},
        {"%AllUsers%", StripTrailingBackslash(kSharedRoot)},
        {"%UserAppData%", StripTrailingBackslash(kUserAppData)},
        {"%AllUsersAppData%", StripTrailingBackslash(kSharedAppData)},
        {"%MyDoc%", StripTrailingBackslash(kMyDocuments)},
        {"%JawsScriptPath%", StripTrailingBackslash(scriptPath)},
    };
    const std::string test = Lower(Trim(path));
    for (const auto& [name, value] : table) {
        if (StartsWith(test, Lower(name))) {
            return ReplaceAllNoCase(path, name, value);
        }
    }
    return path;
}

std::string TestDisplayPath(const std::string& path, const std::string& scriptPath) {
    const std::string expanded =
        TestExpandPlaceholders(ReplaceAllNoCase(path, "%JawsScriptPath%", ""), scriptPath);
    const size_t colon = expanded.find(':');
    if (colon == std::string::npos) {
        return expanded;
    }
    const size_t second = expanded.find(':', colon + 1);
    return "Disque " + expanded.substr(0, colon) +
           expanded.substr(colon + 1,
                           second == std::string::npos ? std::string::npos : second - colon - 1);
}

OpsWorld::OpsWorld() {
    folder.label = "Jaws 11.0 (utilisateur)";
    folder.versionName = "11.0";
    folder.majorVersion = 11;
    folder.languages = "fra|enu|";
    folder.chosenLanguage = "Français";
    folder.installPath = kInstallPath;
    folder.runtimePath = kRuntimePath;
    folder.settingsFolder = kUserRoot + "11.0\\Settings\\";
    folder.scriptPath = kScriptPath;
    folder.kind = UserSettings;

    ctx.userJawsRoot = kUserRoot;
    ctx.sharedJawsRoot = kSharedRoot;
    ctx.expandPlaceholders = [this](const std::string& p) {
        return TestExpandPlaceholders(p, folder.scriptPath);
    };
    ctx.displayPath = [this](const std::string& p) {
        return TestDisplayPath(p, folder.scriptPath);
    };
    ctx.updateDefaultJss = [](bool) { return true; };
    ctx.operationDone = &done;
    ctx.ui.messageBox = [this](const std::string& title, const std::string& text,
                               MessageKind kind) {
        boxes.push_back({title, text, kind});
        if (kind != MessageKind::YesNo) {
            return MessageAnswer::Ok;
        }
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text;
            return MessageAnswer::No;
        }
        MessageAnswer a = answers.front();
        answers.erase(answers.begin());
        return a;
    };
    ctx.ui.setCancelCaption = [this](const std::string& c) { uiEvents.push_back("caption " + c); };
    ctx.ui.finalButtons = [this] { uiEvents.push_back("final buttons"); };
    ctx.ui.focusFinal = [this](FinalFocus f) {
        uiEvents.push_back(f == FinalFocus::CancelButton ? "focus cancel" : "focus progress");
    };
    ctx.processTimeoutMs = 10000;
    fs::create_directories(Host(kScriptPath));
}

void OpsWorld::Load(const TestPackage& pkg) {
    WriteHostFile(dir.Path() / "c" / "Vuni.exe", BuildInstallerBytes(pkg));
    host.SetOwnProgramPath("C:\\Vuni.exe");
    package.ownPath = "C:\\Vuni.exe";
    package.marker = PackageMarker();
    ASSERT_EQ(LoadPackage(package, host, log, package.ownPath), LoadPackageResult::Success);
    install.Clear();
    progress.Clear();
    ctx.rows.clear();
    for (size_t i = 0; i < package.entries.size(); ++i) {
        ctx.rows.push_back({static_cast<int>(i), (package.entries[i].flags & EntryOptional) == 0});
    }
}

fs::path OpsWorld::Host(const std::string& windowsPath) const {
    return host.ToHostPath(windowsPath);
}

void OpsWorld::Put(const std::string& windowsPath, const std::string& bytes) {
    const fs::path p = Host(windowsPath);
    fs::create_directories(p.parent_path());
    WriteHostFile(p, bytes);
}

std::string OpsWorld::Get(const std::string& windowsPath) const {
    const fs::path p = Host(windowsPath);
    if (!fs::is_regular_file(p)) {
        return "<missing>";
    }
    std::ifstream in(p, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool OpsWorld::Exists(const std::string& windowsPath) const {
    return fs::exists(Host(windowsPath));
}

void OpsWorld::PlaceProgram(const std::string& windowsPath) {
    const fs::path p = Host(windowsPath);
    fs::create_directories(p.parent_path());
    fs::copy_file(OPS_FAKE_PROGRAM, p, fs::copy_options::overwrite_existing);
    fs::permissions(p, fs::perms::owner_all, fs::perm_options::add);
}

void OpsWorld::PlaceLibrary(const std::string& windowsPath) {
    const fs::path p = Host(windowsPath);
    fs::create_directories(p.parent_path());
    fs::copy_file(OPS_FAKE_API, p, fs::copy_options::overwrite_existing);
}

std::vector<std::string> OpsWorld::Runs() const {
    std::vector<std::string> out;
    std::ifstream in(dir.Path() / "runs.log");
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

void OpsWorld::UncheckRow(const std::string& sourceName) {
    for (OperationRow& row : ctx.rows) {
        if (package.entries[static_cast<size_t>(row.entryIndex)].sourceName == sourceName) {
            row.checked = false;
        }
    }
}

} // namespace vuni::testing
