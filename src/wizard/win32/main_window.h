// The wizard's top-level Win32 window: the eight page panels, every control of the control
// table, the window buttons, the status bar, the context menu and the keyboard shortcuts.
// Standard controls only, so that screen readers read them natively.
#pragma once

#include "wizard/creation_failure.h"
#include "wizard/view.h"

#include <string>
#include <string_view>
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

struct IAccPropServices;

namespace vuni {

// The functions of the common controls library that the window calls. The library is loaded
// at run time, after the program restricted the search for libraries: its own start-up looks
// for the libraries it uses, which must not be found beside the program. By bare name, so that
// the manifest's dependency brings version 6. Null where the library or a function is missing.
struct CommonControls {
    BOOL(WINAPI* initCommonControlsEx)(const INITCOMMONCONTROLSEX*) = nullptr;
    BOOL(WINAPI* setWindowSubclass)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR) = nullptr;
    BOOL(WINAPI* removeWindowSubclass)(HWND, SUBCLASSPROC, UINT_PTR) = nullptr;
    LRESULT(WINAPI* defSubclassProc)(HWND, UINT, WPARAM, LPARAM) = nullptr;
};

class MainWindow {
public:
    MainWindow() = default;
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Builds the hidden window (client area 600 x 480, centred, titled "Vuni"), the panels
    // and controls in table order, and the status bar.
    CreationFailure Create(HINSTANCE instance);
    // Builds the context menu and the keyboard shortcuts.
    CreationFailure CreateMenuAndShortcuts();
    // Destroys the window, its menu, shortcuts and font, and takes back the names given to
    // assistive tools; the object can be dropped after.
    void Destroy();

    // A control's text was set: when it is the label of one of the controls that the window
    // names for assistive tools (ctl::kLabelledControls), that control's name follows it.
    void LabelChanged(int label);

    HWND Handle() const { return window_; }
    // The control of that number (panels included); nullptr when there is none.
    HWND Control(int number) const;
    // The number of a window of ours (a control or panel); 0 for anything else.
    int ControlNumber(HWND control) const;
    // The number of the control that has the keyboard focus; 0 when none of ours has it.
    int FocusedControl() const;
    HWND StatusBar() const { return statusBar_; }
    HMENU ContextMenu() const { return contextMenu_; }
    HACCEL Shortcuts() const { return shortcuts_; }

    // Where control events, menu commands, close requests and activation go.
    void SetEvents(ViewEvents* events) { events_ = events; }
    ViewEvents* Events() const { return events_; }

    // While a count of suppressions is held, the controls' own notifications of changes made
    // by the program (texts set, rows added, items selected) are not reported as events.
    void SuppressEvents(bool on) { suppressed_ += on ? 1 : -1; }

    void SetStatusText(const std::string& text);

    static constexpr const char* kWindowClass = "VuniWindow";

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void HandleCommand(WPARAM wParam, LPARAM lParam);
    void HandleNotify(const NMHDR* header);
    bool CreateControls(HINSTANCE instance);
    void ApplyFont();
    void StartNaming();

    HWND window_ = nullptr;
    HWND statusBar_ = nullptr;
    HMENU contextMenu_ = nullptr;
    HACCEL shortcuts_ = nullptr;
    HFONT font_ = nullptr;
    CommonControls common_; // outlives the controls, whose subclass procedure uses it
    ViewEvents* events_ = nullptr;
    int suppressed_ = 0;
    // The system's service that gives windows their names for assistive tools (Dynamic
    // Annotation); nullptr where the system has none. It needs COM on this thread.
    IAccPropServices* names_ = nullptr;
    bool comStarted_ = false;
};

// The "Erreur" box that ends the program when part of the window could not be made.
void ShowCreationFailure(CreationFailure failure);

} // namespace vuni
