// What start-up and the event loop need of the main window, beyond the View the wizard
// uses: creating it, showing it, and waiting for its events. The Win32 window is one
// implementation; the simulation tool has another that plays a scenario.
#pragma once

#include "wizard/creation_failure.h"
#include "wizard/view.h"

#include <functional>

namespace vuni {

class InstallerWindow {
public:
    virtual ~InstallerWindow() = default;

    // Usable from the start: message boxes work before the window exists (without owner).
    virtual View& GetView() = 0;
    // Creates the hidden window titled "Vuni" with its panels, controls and status bar.
    virtual CreationFailure Create() = 0;
    // Creates the context menu and the keyboard shortcuts.
    virtual CreationFailure CreateMenuAndShortcuts() = 0;
    virtual void Show() = 0;
    // Where the window's events go from now on (nullptr: nowhere).
    virtual void SetEvents(ViewEvents* events) = 0;
    // One turn of the event loop: waits up to timeoutMs for events and hands each to
    // events, stopping early once quit() is true; calls events.OnIdle() when none came.
    // Returns false when no event can ever come again (the window is gone).
    virtual bool PumpEvents(ViewEvents& events, const std::function<bool()>& quit,
                            unsigned timeoutMs) = 0;
    // Destroys the window; called once by Shutdown.
    virtual void Destroy() = 0;
};

} // namespace vuni
