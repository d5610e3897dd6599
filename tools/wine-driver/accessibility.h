// What an assistive tool learns of the installer's controls.
#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <string>
#include <vector>

namespace vuni::driver {

// What oleacc gives for a window's client object (AccessibleObjectFromWindow with
// OBJID_CLIENT), as a screen reader asks for it.
struct Accessible {
    HRESULT result = E_FAIL; // of getting the object, else of get_accName
    std::string name;        // empty when there is none
    long role = 0;           // ROLE_SYSTEM_..., 0 when not given
    long state = 0;          // STATE_SYSTEM_... bits
    std::string shortcut;    // "Alt+S"; empty when there is none
};
Accessible ReadAccessible(HWND w);

// The name found from the window's structure where oleacc gives none: the own text of a
// button or check box, else the text of the label created just before the control (a static
// text, shown or hidden, or a read-only field). Empty when there is none; `how` says which.
std::string StructuralName(HWND w, std::string& how);

// Every control of the shown page (and the window buttons) that takes the focus has a name:
// the oleacc name when the system gives one, else the structural one. Then the Tab order.
// Appends "ok ..."/"FAIL ..." lines to `lines`.
void Access(HWND main, std::vector<std::string>& lines);

// For each control that takes the focus, in Tab order, seven fields: its number, the oleacc
// name, role (decimal), state (hexadecimal) and keyboard shortcut, the structural name, and
// its window handle (decimal).
void AccessibleFields(HWND main, std::vector<std::string>& fields);

} // namespace vuni::driver
