// What the main window reports to the program: the handlers the event loop calls.
//
// The Win32 message pump (wizard/win32/message_pump.h) turns window messages into these
// calls; the start-up layer implements them over the wizard. Keeping the interface free of
// Win32 types lets the same handlers be driven by tests.
#pragma once

namespace vuni {

// The kind of a control event, from the control's own notification.
enum class ControlEvent {
    Clicked,          // a button or check box was pressed
    TextChanged,      // an editable field's text changed
    SelectionChanged, // a drop-down list's selection changed
    CheckChanged,     // a file-list row's check mark changed
    Other,            // any other notification of the control
};

class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    // A control of the window raised an event; code is the control's own notification code.
    virtual void OnControl(int control, ControlEvent event, int code) = 0;
    // A menu command: a context-menu item or a keyboard shortcut.
    virtual void OnMenu(int command) = 0;
    // The close box, Alt+F4 or the system menu's Close.
    virtual void OnCloseRequest() = 0;
    // The window lost activation; focusedControl is the number of the control that had the
    // focus, 0 when none of the window's controls had it.
    virtual void OnDeactivate(int focusedControl) = 0;
    // The window was activated. Returns true when the handler placed the focus itself.
    virtual bool OnActivate() = 0;
    // The right mouse button was pressed in the window.
    virtual void OnRightButtonDown() = 0;
    // The wait for an event timed out (about 1 ms without events).
    virtual void OnIdle() = 0;
    // The loop ends as soon as this returns true.
    virtual bool QuitRequested() const = 0;
};

} // namespace vuni
