// Splitting a command's arguments into positional arguments and options.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace vuni::pack {

struct OptionSpec {
    std::set<std::string> withValue; // options followed by a value: "-o", "--stub"
    std::set<std::string> flags;     // options alone: "--store", "--json"
};

struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values; // option name -> value (the last one given)
    std::set<std::string> flags;
    bool help = false;
    std::string error; // not empty on a usage error
};

// "--help" and "-h" set help; "--name=value" is accepted for options with a value; "--"
// ends the options.
ParsedArgs ParseArgs(const std::vector<std::string>& args, const OptionSpec& options);

// Prints "vunipack COMMAND: message" and a hint to stderr; returns the usage exit code.
int UsageError(const std::string& command, const std::string& message);

} // namespace vuni::pack
