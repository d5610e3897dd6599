// vunipack: builds installers (the stub followed by a package) and inspects them.
#include "commands.h"
#include "merge_command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Command {
    const char* name;
    const char* summary;
    int (*run)(const std::vector<std::string>& args);
};

// The command table. A new command is one more line here and its own *_command.cpp.
const Command kCommands[] = {
    {"build", "append the package described by a manifest to the installer stub",
     vuni::pack::RunBuildCommand},
    {"list", "show the package of an installer (--json for a machine-readable form)",
     vuni::pack::RunListCommand},
    {"extract", "write one or all files of an installer's package to a folder",
     vuni::pack::RunExtractCommand},
    {"verify", "decode every file of an installer's package and report damage",
     vuni::pack::RunVerifyCommand},
    {"check", "report a manifest's faults and warnings without building",
     vuni::pack::RunCheckCommand},
    {"merge", "preview what merge files do to a default script", vuni::RunMergeCommand},
};

void PrintUsage(std::FILE* to) {
    std::fprintf(to, "Usage: vunipack COMMAND [ARGS...] | --version\n\nCommands:\n");
    for (const Command& c : kCommands) {
        std::fprintf(to, "  %-9s %s\n", c.name, c.summary);
    }
    std::fprintf(to, "\n'vunipack COMMAND --help' describes a command.\n"
                     "Exit codes: 0 success, 1 damaged or invalid input, 2 usage error.\n");
}

// What the commands print waits in stdout's buffer: a full disk or a closed pipe shows only
// when it is written out. That output is lost, so the run has failed.
int Finish(int code) {
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        std::fprintf(stderr, "vunipack: cannot write the output: %s\n",
                     errno != 0 ? std::strerror(errno) : "write error");
        return code == vuni::pack::kExitOk ? vuni::pack::kExitBadInput : code;
    }
    return code;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return vuni::pack::kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "--version") {
        std::printf("vunipack %s\n", VUNI_VERSION);
        return Finish(vuni::pack::kExitOk);
    }
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(stdout);
        return Finish(vuni::pack::kExitOk);
    }
    for (const Command& c : kCommands) {
        if (name == c.name) {
            return Finish(c.run(std::vector<std::string>(argv + 2, argv + argc)));
        }
    }
    std::fprintf(stderr, "vunipack: unknown command '%s'\n\n", name.c_str());
    PrintUsage(stderr);
    return vuni::pack::kExitUsage;
}
