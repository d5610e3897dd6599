#include "wizard_fixture.h"

#include "package/marker.h"
#include "testing/shared_dir.h"
#include "text/text.h"

namespace vuni::testing {

std::vector<SettingsFolder> SampleFolders() {
    auto user = [](const std::string& version, const std::string& languages) {
        SettingsFolder f;
        f.label = "Jaws " + version;
        f.versionName = version;
        f.majorVersion = static_cast<int32_t>(LeadingInteger(version));
        f.languages = languages;
        f.installPath = "C:\\Program Files\\Freedom Scientific\\JAWS\\" + version + "\\";
        f.settingsFolder =
            "C:\\Users\\u\\AppData\\Roaming\\Freedom Scientific\\JAWS\\" + version + "\\Settings\\";
        f.kind = UserSettings;
        return f;
    };
    std::vector<SettingsFolder> out = {user("10.0", "fra|enu|"), user("11.0", "enu|")};
    SettingsFolder shared = out[1];
    shared.label = "Jaws 11.0 (partagé)";
    shared.kind = SharedSettings;
    shared.settingsFolder = "C:\\ProgramData\\Freedom Scientific\\JAWS\\11.0\\Settings\\";
    out.push_back(shared);
    SettingsFolder free;
    free.label = "Choix d'un dossier";
    free.kind = FreeFolder;
    out.push_back(free);
    return out;
}

TestPackage MultiGroupPackage() {
    TestPackage p = SamplePackage();
    p.groups = {{"10.0", "MonAppli"}, {"11.0", "MonAppli;Autre"}};
    TestFile merge;
    merge.sourceName = "Default.jsm";
    merge.flags = EntryAssociable;
    merge.compileOrder = 3;
    merge.content = "; merge\r\n";
    p.files.push_back(merge);
    TestFile g1;
    g1.sourceName = "Onze.jss";
    g1.groupIndex = 1;
    g1.flags = EntryCompilable;
    g1.content = "Script Onze ()\r\nEndScript\r\n";
    p.files.push_back(g1);
    TestFile g1b = g1;
    g1b.sourceName = "aide.txt";
    g1b.destination = "%JawsScriptPath%\\Doc\\";
    g1b.flags = EntryOptional;
    p.files.push_back(g1b);
    TestFile intro;
    intro.sourceName = "intro.wav";
    intro.groupIndex = kIntroSoundGroup;
    intro.content = "RIFF";
    p.files.push_back(intro);
    return p;
}

void WizardFixture::Launch(const TestPackage& p, std::string runningVersion) {
    WriteHostFile(dir.Path() / "c" / "setup.exe", BuildInstallerBytes(p));
    package.marker = PackageMarker();
    package.ownPath = "C:\\setup.exe";
    ASSERT_EQ(LoadPackage(package, host, log, package.ownPath), LoadPackageResult::Success);
    runningJaws = std::move(runningVersion);
    for (SettingsFolder& f : folders) {
        if (!runningJaws.empty() && f.kind != FreeFolder &&
            f.majorVersion == LeadingInteger(runningJaws)) {
            f.running = true;
            f.label += " en fonctionnement";
        }
    }
    wizard =
        std::make_unique<Wizard>(state, view, log, host, package, folders, runningJaws, services);
    view.Attach(wizard.get());
    wizard->FillLists();
    view.SetText(ctl::kFreeFolderField, "C:\\Start");
    view.SetTitle(wizard->WizardTitle());
    wizard->Start();
}

void WizardFixture::WalkToFiles(const std::string& operation, const std::string& folder) {
    ASSERT_EQ(state.currentPage, ctl::kPageWelcome);
    ASSERT_TRUE(Next());
    ASSERT_TRUE(view.Pick(ctl::kOperationChooser, operation));
    ASSERT_TRUE(Next());
    ASSERT_TRUE(view.Pick(ctl::kFolderChooser, folder));
    ASSERT_TRUE(Next());
    if (state.currentPage == ctl::kPageGroup) {
        ASSERT_TRUE(Next());
    }
    ASSERT_EQ(state.currentPage, ctl::kPageFiles);
}

std::vector<std::string> WizardFixture::RowTexts() const {
    std::vector<std::string> out;
    for (const ListRow& r : view.Rows()) {
        out.push_back(r.text);
    }
    return out;
}

std::vector<bool> WizardFixture::RowChecks() const {
    std::vector<bool> out;
    for (const ListRow& r : view.Rows()) {
        out.push_back(r.checked);
    }
    return out;
}

uint32_t WizardFixture::VisibleButtons() const {
    uint32_t mask = 0;
    for (const ctl::ButtonBit& b : ctl::kButtons) {
        if (view.IsShown(b.control) && view.IsEnabled(b.control)) {
            mask |= b.bit;
        }
    }
    return mask;
}

} // namespace vuni::testing
