// Key presses as the keyboard gives them, named as the scenarios name them ("Alt+F1").
#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <string>
#include <vector>

namespace vuni::driver {

// "Alt+F1" -> the modifier keys and the key; false for a name not known.
bool ParseKeys(const std::string& text, std::vector<WORD>& held, WORD& key);
// The input goes to the foreground window's focus, and the thread's key state follows (the
// shortcuts look at it).
void SendKeys(const std::vector<WORD>& held, WORD vk);

} // namespace vuni::driver
