// vuni-driver.exe: a console program that looks at a running installer window from the
// outside, as assistive tools do, and drives it. Used by the tests under Wine.
//
//   vuni-driver check                compare every control with the control table
//   vuni-driver tab                  compare the Tab order with the visible controls
//   vuni-driver serve                play commands read from standard input (see serve.h)
//   vuni-driver wait                 wait (up to 30 s) for the installer window; exit 1 if none
//   vuni-driver COMMAND ARGS...      one serve command on an installer that already runs: its
//                                    answer fields one a line, exit 1 with the error
//
// check and tab print one "ok" or "FAIL" line per check; the exit code is the number of
// failures.
//
// The driver's parts: installer_windows (finding the installer's windows and controls),
// window_check (check and tab), keys, remote_memory (list rows and chooser paths in the
// installer's process), dialogs, own_window, accessibility, focus_timeline (focus and
// foreground changes recorded while serving), serve and serve_commands.
// clang-format off
#include <windows.h>
// clang-format on

#include "installer_windows.h"
#include "serve.h"
#include "window_check.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: vuni-driver check|tab|serve|COMMAND ARGS...\n");
    return 100;
}

} // namespace

int main(int argc, char** argv) {
    using namespace vuni::driver;
    if (argc < 2) {
        return Usage();
    }
    const std::string command = argv[1];
    if (command == "serve") {
        return ServeLoop();
    }
    if (command == "check" || command == "tab") {
        HWND main = FindMainWindow(30000);
        if (main == nullptr) {
            Report(false, "the installer window is shown");
            return 1;
        }
        return command == "check" ? Check(main) : CheckTab(main);
    }
    // One command from a shell: its fields one a line, an error on the error output with
    // exit code 1. "wait" waits up to 30 s for the installer window.
    const bool wait = command == "wait";
    const std::vector<std::string> args = wait ? std::vector<std::string>{"wait-window", "30000"}
                                               : std::vector<std::string>(argv + 1, argv + argc);
    const Answer answer = Serve(args);
    if (!answer.ok) {
        std::fprintf(stderr, "%s\n", answer.fields.empty() ? "failed" : answer.fields[0].c_str());
        return 1;
    }
    if (wait) {
        return !answer.fields.empty() && answer.fields[0] == "1" ? 0 : 1;
    }
    for (const std::string& field : answer.fields) {
        std::printf("%s\n", field.c_str());
    }
    return 0;
}
