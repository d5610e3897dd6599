// Finding the installer's windows and controls from the outside, and reading their texts.
#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <map>
#include <string>
#include <vector>

namespace vuni::driver {

// The installer started by `launch`, when there is one: its windows are told apart from the
// driver's own and from the stand-ins' by its process id. Without one, every window of
// another process counts as the installer's.
void SetInstallerProcess(HANDLE process, DWORD id);
HANDLE InstallerProcess();
DWORD ProcessOf(HWND w);
bool Installers(HWND w);

// The installer's shown top-level windows of a class ("#32770": its boxes and choosers).
std::vector<HWND> TopWindows(const char* className, bool visibleOnly);
// The installer's main window, waited for up to waitMs; nullptr when none is shown.
HWND FindMainWindow(int waitMs);
HWND Main();

std::string Text(HWND w);
std::wstring Wide(const std::string& text);
std::string Narrow(const wchar_t* text);
std::string ItemText(HWND combo, int i);
std::string ClassOf(HWND w);

// Every numbered descendant of the window, by number.
struct Found {
    HWND window;
    HWND parent;
};
std::map<int, Found> Controls(HWND main);
HWND ControlByNumber(HWND main, int number);
// The number of the control that has the keyboard focus (or holds the window that has it).
int FocusedNumber(HWND main);

} // namespace vuni::driver
