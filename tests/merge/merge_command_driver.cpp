// A stand-alone front for the merge command, until it is part of vunipack.
#include "merge_command.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "merge") {
        args.erase(args.begin());
    }
    return vuni::RunMergeCommand(args);
}
