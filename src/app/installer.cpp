#include "app/installer.h"

#include "app/intro_sound.h"
#include "jaws/discovery.h"
#include "jaws/host_items.h"
#include "jaws/registry.h"
#include "package/marker.h"
#include "platform/host.h"
#include "text/text.h"
#include "update/date_mask.h"
#include "wizard/controls.h"

#ifndef VUNI_VERSION_TEXT
#define VUNI_VERSION_TEXT "1.0.0"
#endif

namespace vuni {

const char* const kProgramName = "Vuni";
const char* const kProgramVersion = VUNI_VERSION_TEXT;

namespace {

constexpr const char* kMutexName = "Vuni";
constexpr const char* kRunningSuffix = " en fonctionnement";
constexpr int kShowHide = 0;
constexpr int kShowMinimize = 6;
constexpr int kShowRestore = 9;
constexpr unsigned kEventWaitMs = 1;

} // namespace

Installer::Installer(Host& host, InstallerWindow& window)
    : host_(host), window_(window), view_(window.GetView()),
      log_(view_.LogBox(), view_.ProgressBox()) {}

Installer::~Installer() {
    Shutdown();
}

bool Installer::SingleInstance(StartOutcome& outcome) {
    if (host_.NamedMutexExists(kMutexName)) {
        // The other instance's window keeps the title "Vuni" only while it starts up.
        if (const uint64_t other = host_.FindTopLevelWindow(kProgramName)) {
            host_.ShowTopLevelWindow(other, kShowHide);
            host_.ShowTopLevelWindow(other, kShowMinimize);
            host_.ShowTopLevelWindow(other, kShowRestore);
        }
        outcome = StartOutcome::OtherInstance;
        return false;
    }
    if (!host_.CreateNamedMutex(kMutexName)) {
        outcome = StartOutcome::MutexFailed;
        return false;
    }
    state_.mutexOwned = true;
    return true;
}

void Installer::LogBanner() {
    log_.LogLine(std::string(kProgramName) + " " + kProgramVersion);
    log_.LogLine("By the Vuni developers");
    log_.LogLine("");
    log_.LogLine("Main Exe in Use : " + state_.package.ownPath);
}

void Installer::LogEnvironment() {
    std::string language = Lower(
        ReadRegistryString(host_, RegistryRoot::CurrentUser, kInternationalKey, kLanguageValue));
    if (language.empty()) {
        language = kLanguageFrench;
    }
    state_.windowsLanguage = language;
    log_.LogLine("Lang of Windows = " + language);
    log_.LogLine("");
}

void Installer::LogInstalledVersions() {
    log_.LogLine("* Enumerate Jaws Version installed : ");
    for (const SettingsFolder& f : state_.folders) {
        if (f.kind != UserSettings) {
            continue;
        }
        log_.LogLine(f.label + " with lang=" + f.languages);
        log_.LogLine(" Script Base Path = " + f.settingsFolder);
        log_.LogLine(" Install Path = " + f.installPath);
        log_.LogLine(" RunTime Path = " + f.runtimePath);
        log_.LogLine("");
    }
}

void MarkRunningJaws(InstallerState& state, Host& host) {
    const uint32_t id = state.processes.FindProcess(host, kJawsProcess);
    if (id == 0) {
        return;
    }
    std::string folder = ProcessFolder(host, id);
    if (folder.empty()) {
        return;
    }
    folder = EnsureTrailingBackslash(Lower(folder));
    for (SettingsFolder& f : state.folders) {
        if (Lower(f.installPath) == folder) {
            state.runningJawsVersion = std::to_string(f.majorVersion);
            f.running = true;
            f.label += kRunningSuffix;
        }
    }
}

StartOutcome Installer::Start() {
    state_.package.marker = PackageMarker();

    StartOutcome outcome = StartOutcome::Running;
    if (!SingleInstance(outcome)) {
        return outcome;
    }
    if (state_.processes.FindProcess(host_, kScriptManagerProcess) != 0) {
        view_.ShowMessage("Info Vuni", "Veuillez fermer le gestionnaire de script !",
                          MessageKind::Info);
        return StartOutcome::ScriptManager;
    }
    state_.package.ownPath = host_.OwnProgramPath();

    CreationFailure failure = window_.Create();
    if (failure == CreationFailure::None) {
        windowCreated_ = true;
    } else {
        view_.ShowMessage("Erreur", CreationFailureText(failure), MessageKind::Error);
        return StartOutcome::WindowFailed;
    }

    LogBanner();
    LogEnvironment();
    state_.shell = ResolveShellFolders(host_);
    DiscoverJaws(host_, state_.shell, true, true, state_.folders);
    AppendFreeFolder(state_.folders);

    switch (LoadPackage(state_.package, host_, log_, state_.package.ownPath)) {
    case LoadPackageResult::Success:
        break;
    case LoadPackageResult::OutOfMemory:
        view_.ShowMessage("Erreur", "Espace mémoire insuffisant !", MessageKind::Error);
        return StartOutcome::OutOfMemory;
    case LoadPackageResult::Failure:
        view_.ShowMessage("Erreur", "Les données du fichier d'installation sont érronées !",
                          MessageKind::Error);
        return StartOutcome::PackageDamaged;
    }
    log_.LogLine("* Created on " + state_.package.info.creationText +
                 FormatDateSeconds(" the %dd/%mm/%yyyy", state_.package.info.date));

    MarkRunningJaws(state_, host_);
    LogInstalledVersions();

    failure = window_.CreateMenuAndShortcuts();
    if (failure != CreationFailure::None) {
        view_.ShowMessage("Erreur", CreationFailureText(failure), MessageKind::Error);
        return StartOutcome::WindowFailed;
    }
    wizard_ = std::make_unique<Wizard>(state_.wizard, view_, log_, host_, state_.package,
                                       state_.folders, state_.runningJawsVersion, MakeServices());
    wizard_->FillLists();

    state_.startDirectory = host_.CurrentFolder();
    view_.SetText(ctl::kFreeFolderField, state_.startDirectory);

    PlayIntroSound(state_, host_, log_);

    view_.SetTitle(wizard_->WizardTitle());
    window_.SetEvents(wizard_.get());
    window_.Show();
    wizard_->Start(); // the welcome page, first focus 100 idle ticks away

    if ((state_.package.info.flags & InfoUpdateAtStart) != 0) {
        MakeServices().checkForNewVersion(true);
    }
    return StartOutcome::Running;
}

void Installer::RunEventLoop() {
    if (!wizard_) {
        return;
    }
    while (!QuitRequested()) {
        if (!window_.PumpEvents(
                *wizard_, [this] { return QuitRequested(); }, kEventWaitMs)) {
            break;
        }
    }
    if (state_.mutexOwned) {
        host_.CloseNamedMutex();
        state_.mutexOwned = false;
    }
}

void Installer::Shutdown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    window_.SetEvents(nullptr);
    if (windowCreated_) {
        window_.Destroy();
    }
    if (state_.mutexOwned) {
        host_.CloseNamedMutex();
        state_.mutexOwned = false;
    }
}

int RunInstaller(Host& host, InstallerWindow& window) {
    Installer installer(host, window);
    if (installer.Start() == StartOutcome::Running) {
        installer.RunEventLoop();
    }
    installer.Shutdown();
    return 0;
}

} // namespace vuni
