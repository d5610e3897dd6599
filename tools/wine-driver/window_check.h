// vuni-driver check and tab: the installer's window compared with the control table, and
// its Tab order with the controls shown.
#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <string>
#include <utility>
#include <vector>

namespace vuni::driver {

// Prints one "ok" or "FAIL" line; the failures are counted for the exit code.
void Report(bool ok, const std::string& what);

// Every control against the control table: class, parent, creation text, style, place,
// creation order; the window's frame and the file list's column. Returns the failures.
int Check(HWND main);
// The Tab order of the page shown; returns the failures.
int CheckTab(HWND main);

// The controls Tab stops at, in table (creation) order: visible, enabled tab stops.
std::vector<std::pair<int, HWND>> TabStops(HWND main);
// Tab from each reachable control goes to the next visible, enabled tab stop in table order.
// Appends "ok ..."/"FAIL ..." lines to `lines`.
void TabOrder(HWND main, std::vector<std::string>& lines);

} // namespace vuni::driver
