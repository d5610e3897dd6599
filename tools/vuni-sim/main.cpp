// vuni-sim: plays a scenario file on the simulated Windows (see docs/scenarios.md).
#include "player.h"

#include <iostream>
#include <string>
#include <string_view>

#ifndef VUNI_SIM_VUNIPACK
#define VUNI_SIM_VUNIPACK ""
#endif
#ifndef VUNI_SIM_STANDINS
#define VUNI_SIM_STANDINS ""
#endif
#ifndef VUNI_SIM_MACHINES
#define VUNI_SIM_MACHINES ""
#endif

namespace {

constexpr std::string_view kUsage =
    "Usage: vuni-sim [OPTIONS] SCENARIO\n"
    "\n"
    "Plays a scenario file (docs/scenarios.md) on the simulated Windows: the described\n"
    "machine in a fresh sandbox, the program file at its place, then the installer's own\n"
    "start-up, wizard and event loop over a headless window, the scenario's steps acting\n"
    "as the user. One line per expectation: \"ok   LINE\" or \"FAIL LINE: what was seen\".\n"
    "\n"
    "  --dump            print the window (title, shown controls in tab order, rows,\n"
    "                    status bar) after each page change: handy to write scenarios\n"
    "  --vunipack FILE   the packer used by `package` lines (default: the build tree's)\n"
    "  --standins DIR    the built stand-ins of the screen reader's programs\n"
    "  --machines DIR    where `machine` names are looked up after the scenario's folder\n"
    "  --keep            keep the sandbox folder and print its path\n"
    "  --timings         print how long each step took (\"time line N: MS ms\")\n"
    "  --help            this text\n"
    "\n"
    "Exit codes: 0 every expectation held, 1 one failed, 2 the scenario is wrong (unknown\n"
    "command, missing machine or package), 77 it cannot run here (no vunipack).\n";

} // namespace

int main(int argc, char** argv) {
    vuni::sim::PlayerOptions options;
    options.vunipack = VUNI_SIM_VUNIPACK;
    options.standins = VUNI_SIM_STANDINS;
    options.machinesDir = VUNI_SIM_MACHINES;
    std::string scenario;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--dump") {
            options.dump = true;
        } else if (arg == "--keep") {
            options.keepSandbox = true;
        } else if (arg == "--timings") {
            options.timings = true;
        } else if (arg == "--vunipack" && hasValue) {
            options.vunipack = argv[++i];
        } else if (arg == "--standins" && hasValue) {
            options.standins = argv[++i];
        } else if (arg == "--machines" && hasValue) {
            options.machinesDir = argv[++i];
        } else if (!arg.empty() && arg[0] != '-' && scenario.empty()) {
            scenario = arg;
        } else {
            std::cerr << "vuni-sim: unexpected argument \"" << arg << "\"\n" << kUsage;
            return vuni::sim::kScenarioWrong;
        }
    }
    if (scenario.empty()) {
        std::cerr << kUsage;
        return vuni::sim::kScenarioWrong;
    }
    return vuni::sim::PlayScenario(scenario, options, std::cout, std::cerr);
}
