// What an assistive tool learns of the installer's controls.
#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <string>
#include <vector>

namespace vuni::driver {

// Every control of the shown page (and the window buttons) that takes the focus has a name:
// the oleacc name when the system gives one, else its own text or the label created just
// before it. Then the Tab order. Appends "ok ..."/"FAIL ..." lines to `lines`.
void Access(HWND main, std::vector<std::string>& lines);

} // namespace vuni::driver
