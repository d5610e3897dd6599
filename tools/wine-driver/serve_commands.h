// The serve commands, one table: each command's name, what it needs of the installer and the
// function that plays it.
#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include "serve.h"

#include <span>
#include <string>
#include <vector>

namespace vuni::driver {

enum class Needs {
    Nothing, // the installer may not even run
    Window,  // its main window
    Control, // its main window and the control numbered by the first argument
};

// One command to play, with what it needs already found.
struct Request {
    const std::vector<std::string>& args; // the name, then the arguments
    HWND main = nullptr;
    HWND control = nullptr;

    // An argument, or the empty text when there are fewer.
    std::string Arg(size_t i) const { return i < args.size() ? args[i] : std::string(); }
};

struct ServeCommand {
    const char* name;
    Needs needs;
    Answer (*run)(const Request& request);
};

std::span<const ServeCommand> ServeCommands();

inline Answer Fail(const std::string& why) {
    return {false, {why}};
}
inline Answer Ok(std::vector<std::string> fields = {}) {
    return {true, std::move(fields)};
}

} // namespace vuni::driver
