// Whole `vunipack build` runs over the script corpus (every file packed one by one, then
// decoded again to check it), against gzip -9 compressing the same files in the same run.
// Times are the CPU time of the child processes: the machine is shared, and wall-clock time
// would mostly measure the other work running beside.
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

double ChildCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

std::string Quoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

// A manifest naming every corpus file, a stand-in stub and the commands to run.
class Workspace {
public:
    Workspace() {
        const fs::path corpus = fs::path(VUNI_SHARED_DIR) / "corpus/jaws";
        std::error_code ec;
        for (const char* sub : {"jss", "ini"}) {
            if (!fs::is_directory(corpus / sub, ec)) {
                continue;
            }
            for (const auto& e : fs::directory_iterator(corpus / sub)) {
                files_.push_back(e.path());
                bytes_ += static_cast<int64_t>(fs::file_size(e.path()));
            }
        }
        std::sort(files_.begin(), files_.end());
        char pattern[] = "/tmp/vunipack-bench-XXXXXX";
        root_ = mkdtemp(pattern);
        std::ofstream(root_ / "stub.exe") << std::string(4096, 'M');
        std::ofstream manifest(root_ / "corpus.vunipack.ini");
        manifest << "[package]\ndate = 2026-12-08 10:30\napplicationName = Corpus\n"
                    "scriptSetName = Corpus\n\n[group all]\n";
        for (size_t i = 0; i < files_.size(); ++i) {
            manifest << "\n[file]\npath = " << files_[i].string() << "\ngroup = all\nname = f" << i
                     << files_[i].extension().string() << "\n";
        }
    }
    ~Workspace() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    bool Empty() const { return files_.empty(); }
    int64_t Bytes() const { return bytes_; }
    std::string BuildCommand(int level) const {
        return std::string(VUNIPACK_PATH) + " build " + Quoted(root_ / "corpus.vunipack.ini") +
               " -o " + Quoted(root_ / "setup.exe") + " --stub " + Quoted(root_ / "stub.exe") +
               " --level " + std::to_string(level) + " > /dev/null";
    }
    std::string GzipCommand() const {
        std::string command = "gzip -9 -c";
        for (const fs::path& f : files_) {
            command += " " + Quoted(f);
        }
        return command + " > /dev/null";
    }

private:
    std::vector<fs::path> files_;
    int64_t bytes_ = 0;
    fs::path root_;
};

Workspace& Corpus() {
    static Workspace w;
    return w;
}

// Runs command and returns the CPU seconds it took, or a negative value when it failed.
double Timed(const std::string& command) {
    const double start = ChildCpuSeconds();
    if (std::system(command.c_str()) != 0) {
        return -1;
    }
    return ChildCpuSeconds() - start;
}

// Both in every iteration, first in turn; the iteration time is vunipack's.
void BuildAgainstGzip(benchmark::State& state) {
    Workspace& w = Corpus();
    if (w.Empty()) {
        state.SkipWithError("the script corpus is absent");
        return;
    }
    const int level = static_cast<int>(state.range(0));
    double build = 0;
    double gzip = 0;
    int turn = 0;
    for (auto _ : state) {
        double took[2] = {0, 0};
        for (int k = 0; k < 2; ++k) {
            const bool building = (k + turn) % 2 == 0;
            took[building ? 0 : 1] = Timed(building ? w.BuildCommand(level) : w.GzipCommand());
            if (took[building ? 0 : 1] < 0) {
                state.SkipWithError(building ? "vunipack build failed" : "gzip failed");
                return;
            }
        }
        ++turn;
        build += took[0];
        gzip += took[1];
        state.SetIterationTime(took[0]);
    }
    const double runs = static_cast<double>(state.iterations());
    const double megabytes = static_cast<double>(w.Bytes()) / 1e6;
    state.counters["build_MB/s"] = megabytes / (build / runs);
    state.counters["gzip9_MB/s"] = megabytes / (gzip / runs);
    state.counters["time_vs_gzip9"] = gzip > 0 ? build / gzip : 0;
}

BENCHMARK(BuildAgainstGzip)
    ->Name("VunipackBuildVsGzip9/level")
    ->DenseRange(1, 9)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
