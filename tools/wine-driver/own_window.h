// The driver's own top-level windows, served by a thread of their own: the window of "another
// instance" that the installer must bring back, and a window to switch away to.
#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <string>

namespace vuni::driver {

enum class OwnWindowRole { OtherInstance = 0, SwitchedTo = 1 };

// Makes the window with that title, once; later calls leave it as it is.
void CreateOwnWindow(OwnWindowRole role, const std::string& title);
// Brings the window to the foreground.
void BringOwnWindow(OwnWindowRole role);
HWND OwnWindowHandle(OwnWindowRole role);
// What was done to the window, in order: h(idden), m(inimised), r(estored).
std::string OwnWindowShows(OwnWindowRole role);

} // namespace vuni::driver
