// Plays one scenario on the simulated Windows: a sandbox made from the described machine,
// the program file at its place, then the installer's own start-up and event loop over the
// headless window, the scenario's steps acting as the user on each turn of the loop.
#pragma once

#include <filesystem>
#include <ostream>

namespace vuni::sim {

struct PlayerOptions {
    std::filesystem::path vunipack;    // the packer, for `package`
    std::filesystem::path standins;    // the built stand-ins (<build>/standins)
    std::filesystem::path machinesDir; // tests/machines
    bool dump = false;                 // print the window after each page change
    bool keepSandbox = false;          // leave the sandbox folder in place (its path is told)
    bool timings = false;              // tell how long each step took
};

// Exit codes, as docs/scenarios.md gives them.
constexpr int kAllHeld = 0;
constexpr int kSomeFailed = 1;
constexpr int kScenarioWrong = 2;
constexpr int kCannotRunHere = 77;

// Plays the scenario file; one line per expectation on out, problems on err.
int PlayScenario(const std::filesystem::path& file, const PlayerOptions& options, std::ostream& out,
                 std::ostream& err);

} // namespace vuni::sim
