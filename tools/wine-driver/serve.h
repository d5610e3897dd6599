// The driver's serve protocol: one command a line, fields separated by tabs (\t, \n, \r and
// \\ escaped); one answer a line: "ok" or "err", then its fields the same way.
#pragma once

#include <string>
#include <vector>

namespace vuni::driver {

struct Answer {
    bool ok = true;
    std::vector<std::string> fields;
};

// Plays one command: args[0] is its name, the rest its arguments (see serve_commands.cpp).
Answer Serve(const std::vector<std::string>& args);

// Plays the commands read from standard input until "quit" or its end.
int ServeLoop();

} // namespace vuni::driver
