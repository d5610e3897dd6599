// The program from start to end: the start-up sequence, the event loop and Shutdown, over a
// Host and an InstallerWindow. The Win32 entry point and the simulation tool both run it.
#pragma once

#include "app/installer_state.h"
#include "app/installer_window.h"
#include "log/log.h"
#include "wizard/wizard.h"

#include <memory>
#include <string>

namespace vuni {

class Host;

// The program name and version of the log banner. Declarations only: installer.cpp gives them
// constant initial values (the check mistakes an extern declaration for a definition).
extern const char* const kProgramName;    // NOLINT(bugprone-dynamic-static-initializers)
extern const char* const kProgramVersion; // NOLINT(bugprone-dynamic-static-initializers)

// How start-up ended.
enum class StartOutcome {
    Running,        // the window is shown: run the event loop
    OtherInstance,  // another instance runs; its window was brought up
    MutexFailed,    // the mutex could not be created
    ScriptManager,  // the script manager runs: "Info Vuni" box
    WindowFailed,   // part of the window could not be created: "Erreur" box
    PackageDamaged, // "Les données du fichier d'installation sont érronées !"
    OutOfMemory,    // "Espace mémoire insuffisant !"
};

class Installer {
public:
    Installer(Host& host, InstallerWindow& window);
    ~Installer();
    Installer(const Installer&) = delete;
    Installer& operator=(const Installer&) = delete;

    // The start-up sequence up to the event loop (the new-version check at start-up
    // included, when the package asks for it).
    StartOutcome Start();
    // Waits at most 1 ms per turn for events until the quit flag is set, then releases the
    // mutex.
    void RunEventLoop();
    // Releases the window and the runtime facilities; safe to call once after any outcome.
    void Shutdown();

    InstallerState& State() { return state_; }
    Log& GetLog() { return log_; }
    // Exists from the building of the wizard's lists on (Running outcome).
    Wizard* GetWizard() { return wizard_.get(); }

private:
    bool SingleInstance(StartOutcome& outcome);
    void LogBanner();
    void LogEnvironment();
    void LogInstalledVersions();
    WizardServices MakeServices();
    bool QuitRequested() const { return state_.wizard.quitRequested; }

    Host& host_;
    InstallerWindow& window_;
    View& view_;
    InstallerState state_;
    Log log_;
    std::unique_ptr<Wizard> wizard_;
    bool windowCreated_ = false;
    bool shutDown_ = false;
};

// Marks the destinations whose install folder is the running jfw.exe's: the running major
// version is noted and " en fonctionnement" is added to their labels.
void MarkRunningJaws(InstallerState& state, Host& host);

// Start-up, event loop and Shutdown; the process exit code, always 0.
int RunInstaller(Host& host, InstallerWindow& window);

} // namespace vuni
