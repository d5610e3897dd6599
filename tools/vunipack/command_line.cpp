#include "command_line.h"

#include "commands.h"

#include <cstdio>

namespace vuni::pack {

ParsedArgs ParseArgs(const std::vector<std::string>& args, const OptionSpec& options) {
    ParsedArgs out;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.empty() || a[0] != '-' || a == "-") {
            out.positional.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        if (a == "--help" || a == "-h") {
            out.help = true;
            continue;
        }
        std::string name = a;
        std::string value;
        bool hasInlineValue = false;
        if (const size_t eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
            hasInlineValue = true;
        }
        if (options.withValue.count(name) != 0) {
            if (!hasInlineValue) {
                if (i + 1 >= args.size()) {
                    out.error = "option " + name + " needs a value";
                    return out;
                }
                value = args[++i];
            }
            out.values[name] = value;
        } else if (options.flags.count(name) != 0 && !hasInlineValue) {
            out.flags.insert(name);
        } else {
            out.error = "unknown option " + a;
            return out;
        }
    }
    return out;
}

int UsageError(const std::string& command, const std::string& message) {
    std::fprintf(stderr, "vunipack %s: %s\n(see 'vunipack %s --help')\n", command.c_str(),
                 message.c_str(), command.c_str());
    return kExitUsage;
}

} // namespace vuni::pack
