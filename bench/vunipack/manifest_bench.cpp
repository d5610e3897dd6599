// Reading a large manifest: 10,000 files in 40 groups, parsed and checked for warnings, as
// `vunipack check` does. Reports the time per manifest and the files read per second.
#include "manifest.h"
#include "manifest_warnings.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

std::string LargeManifest(int files, int groups) {
    std::string text = "[package]\ndate = 2026-12-08 10:30\napplicationName = Gros\n"
                       "scriptSetName = gros\nupdateLocation = http://example.org/gros/\n";
    for (int g = 0; g < groups; ++g) {
        text += "[group " + std::to_string(2000 + g) + "]\nalias = gros\n";
        text += "[file]\npath = gros.jss\ngroup = " + std::to_string(2000 + g) +
                "\nflags = compilable\ncompileOrder = 1\n";
    }
    for (int f = groups; f < files; ++f) {
        text += "[file]\npath = scripts/f" + std::to_string(f) +
                ".jsh\ngroup = " + std::to_string(2000 + f % groups) +
                "\ndestination = %JawsScriptPath%\\sub" + std::to_string(f % 7) + "\n";
    }
    return text;
}

void CheckTenThousandFiles(benchmark::State& state) {
    const std::string text = LargeManifest(10000, 40);
    for (auto _ : state) {
        vuni::pack::Manifest manifest;
        std::vector<vuni::pack::ManifestError> errors;
        const bool sound = vuni::pack::ParseManifest(text, manifest, errors);
        const auto warnings = vuni::pack::ManifestWarnings(manifest);
        if (!sound || manifest.files.size() != 10000 || !warnings.empty()) {
            state.SkipWithError("the manifest did not read as 10,000 files without warnings");
            break;
        }
        benchmark::DoNotOptimize(warnings);
    }
    state.counters["files/s"] = benchmark::Counter(
        10000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.SetLabel(std::to_string(text.size()) + " bytes");
}
BENCHMARK(CheckTenThousandFiles)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
