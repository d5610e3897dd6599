// vuni.exe: the installer's Windows entry point.
//
// The start-up here is the window's part of it: single instance, the window, the log
// banner, the package read from the program file itself, the wizard's lists and pages, and
// the event loop. Screen-reader discovery and the operations are plugged in by the
// program's start-up layer through WizardServices and the destination-folder list.
#include "jaws/settings_folder.h"
#include "log/log.h"
#include "package/marker.h"
#include "package/package.h"
#include "platform/win32/win32_host.h"
#include "wizard/controls.h"
#include "wizard/win32/main_window.h"
#include "wizard/win32/message_pump.h"
#include "wizard/win32/win32_view.h"
#include "wizard/wizard.h"

#include <string>
#include <vector>
#include <windows.h>

#ifndef VUNI_VERSION_TEXT
#define VUNI_VERSION_TEXT "1.0.0"
#endif

namespace vuni {
namespace {

constexpr const char* kMutexName = "Vuni";
constexpr const char* kProgramName = "Vuni";

// Another instance runs: bring its window up if it still has its start-up title.
void WakeOtherInstance(Host& host) {
    if (const uint64_t other = host.FindTopLevelWindow(kProgramName)) {
        host.ShowTopLevelWindow(other, SW_HIDE);
        host.ShowTopLevelWindow(other, SW_MINIMIZE);
        host.ShowTopLevelWindow(other, SW_RESTORE);
    }
}

void LogBanner(Log& log, const std::string& ownPath) {
    log.LogLine(std::string(kProgramName) + " " + VUNI_VERSION_TEXT);
    log.LogLine("Installer for screen-reader script packages");
    log.LogLine("");
    log.LogLine("Main Exe in Use : " + ownPath);
}

int Run(HINSTANCE instance) {
    Win32Host host;
    if (host.NamedMutexExists(kMutexName)) {
        WakeOtherInstance(host);
        return 0;
    }
    if (!host.CreateNamedMutex(kMutexName)) {
        return 0;
    }

    MainWindow window;
    CreationFailure failure = window.Create(instance);
    if (failure != CreationFailure::None) {
        ShowCreationFailure(failure);
        return 0;
    }
    Win32View view(window);
    Log log(view.LogBox(), view.ProgressBox());

    PackageState package;
    package.ownPath = host.OwnProgramPath();
    package.marker = PackageMarker();
    LogBanner(log, package.ownPath);

    std::vector<SettingsFolder> folders;
    SettingsFolder free;
    free.label = "Choix d'un dossier";
    free.kind = FreeFolder;
    folders.push_back(free);

    switch (LoadPackage(package, host, log, package.ownPath)) {
    case LoadPackageResult::Success:
        break;
    case LoadPackageResult::OutOfMemory:
        MessageBoxA(nullptr, "Espace mémoire insuffisant !", "Erreur", MB_OK | MB_ICONERROR);
        return 0;
    case LoadPackageResult::Failure:
        MessageBoxA(nullptr, "Les données du fichier d'installation sont érronées !", "Erreur",
                    MB_OK | MB_ICONERROR);
        return 0;
    }

    failure = window.CreateMenuAndShortcuts();
    if (failure != CreationFailure::None) {
        ShowCreationFailure(failure);
        return 0;
    }
    WizardState state;
    const std::string runningJawsVersion;
    Wizard wizard(state, view, log, host, package, folders, runningJawsVersion);
    wizard.FillLists();
    view.SetText(ctl::kFreeFolderField, host.CurrentFolder());
    view.SetTitle(wizard.WizardTitle());
    window.SetEvents(&wizard);
    ShowWindow(window.Handle(), SW_SHOW);
    UpdateWindow(window.Handle());
    wizard.Start();

    RunMessageLoop(window, wizard, [&state] { return state.quitRequested; });
    window.SetEvents(nullptr);
    host.CloseNamedMutex();
    return 0;
}

} // namespace
} // namespace vuni

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    vuni::Run(instance);
    return 0;
}
