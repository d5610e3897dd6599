// The installer's message boxes and the folder chooser, read and answered from the outside.
#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <string>

namespace vuni::driver {

bool HasChildOfClass(HWND parent, const char* className);
// A box's message: its static control 0xFFFF, else the longest static text in it.
std::string BoxText(HWND box);
// Selects the folder PATH in a folder chooser's tree; answers the label selected at the end.
std::string SelectTreePath(HWND tree, const std::string& path);

} // namespace vuni::driver
