// Installing a package on the simulated Windows against "cp -r" of the same plain files,
// in the same run: 2,000 small files, and 20 files of 5 MB.
#include "log/log.h"
#include "operations/install_files.h"
#include "package/marker.h"
#include "package/package.h"
#include "package/package_writer.h"
#include "platform/sim/sim_host.h"
#include "text/text.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdlib.h>
#include <string>
#include <sys/resource.h>

namespace vuni {
namespace {

namespace fs = std::filesystem;

// A machine with one package installed in its program file, and the same files as plain
// files beside it for the baseline.
class Machine {
public:
    Machine(int fileCount, size_t fileSize)
        : bytes_(static_cast<int64_t>(fileCount) * static_cast<int64_t>(fileSize)) {
        // VUNI_BENCH_DIR chooses the file system measured (default /tmp).
        const char* base = std::getenv("VUNI_BENCH_DIR");
        std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/vuni-bench-XXXXXX";
        root_ = mkdtemp(pattern.data());
        host_ = std::make_unique<SimHost>(root_ / "sandbox");
        std::string installer = "MZ bench program image\n";
        PackageWriter writer([&installer](const void* data, size_t size) {
            installer.append(static_cast<const char*>(data), size);
            return true;
        });
        PackageInfo info;
        info.applicationName = "Bench";
        info.scriptSetName = "BenchScripts";
        info.scriptSetVersion = "1.0";
        writer.WriteHeader(info, {{"10", ""}});
        std::string content(fileSize, '\0');
        for (int i = 0; i < fileCount; ++i) {
            for (size_t k = 0; k < fileSize; ++k) {
                content[k] = static_cast<char>('a' + (k * 7 + static_cast<size_t>(i)) % 26);
            }
            PackageEntry e;
            e.sourceName = "File" + Decimal(i) + ".jss";
            e.destination = "%JawsScriptPath%\\Sub" + Decimal(i % 20) + "\\";
            e.plainSize = static_cast<int32_t>(fileSize);
            writer.WriteEntry(e, content);
            const fs::path plain = root_ / "plain" / ("Sub" + Decimal(i % 20)) / e.sourceName;
            fs::create_directories(plain.parent_path());
            std::ofstream(plain, std::ios::binary).write(content.data(), content.size());
        }
        fs::create_directories(root_ / "sandbox" / "c");
        std::ofstream(root_ / "sandbox" / "c" / "Vuni.exe", std::ios::binary) << installer;

        state_.ownPath = "C:\\Vuni.exe";
        state_.marker = PackageMarker();
        LoadPackage(state_, *host_, log_, state_.ownPath);
        ctx_ = std::make_unique<OperationContext>(*host_, log_, state_, folder_);
        for (size_t i = 0; i < state_.entries.size(); ++i) {
            ctx_->rows.push_back({static_cast<int>(i), true});
        }
        ctx_->expandPlaceholders = [this](const std::string& p) {
            return ReplaceAllNoCase(p, "%JawsScriptPath%",
                                    StripTrailingBackslash(folder_.scriptPath));
        };
        ctx_->displayPath = [](const std::string& p) {
            return ReplaceAllNoCase(p, "%JawsScriptPath%", "");
        };
    }
    ~Machine() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // Every run writes to folders of its own: files deleted just before would make the
    // file system's inode allocation, not the copying, the thing measured.
    void NextDestination() {
        ++run_;
        folder_.scriptPath = "C:\\Settings" + Decimal(run_) + "\\fra\\";
        fs::create_directories(root_ / "sandbox" / "c" / ("Settings" + Decimal(run_)) / "fra");
        install_.Clear();
        progress_.Clear();
    }
    bool Install() { return InstallFiles(*ctx_, false); }
    int64_t Bytes() const { return bytes_; }
    bool CopyPlain() {
        const std::string command = "cp -r '" + (root_ / "plain").string() + "' '" +
                                    (root_ / ("copy" + Decimal(run_))).string() + "'";
        return std::system(command.c_str()) == 0;
    }

private:
    int64_t bytes_;
    fs::path root_;
    std::unique_ptr<SimHost> host_;
    MemoryLineSink install_;
    MemoryLineSink progress_;
    Log log_{install_, progress_};
    PackageState state_;
    SettingsFolder folder_;
    int run_ = 0;
    std::unique_ptr<OperationContext> ctx_;
};

Machine& Small() {
    static Machine m(2000, 2048);
    return m;
}
Machine& Large() {
    static Machine m(20, 5 * 1024 * 1024);
    return m;
}

// CPU time (user + system) of this process, or of its finished children: the machine is
// shared, so wall-clock time would mostly measure the other work running beside.
double CpuSeconds(int who) {
    rusage u{};
    getrusage(who, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

template <Machine& (*M)()> void InstallPackage(benchmark::State& state) {
    Machine& m = M();
    for (auto _ : state) {
        m.NextDestination();
        const double start = CpuSeconds(RUSAGE_SELF);
        const bool ok = m.Install();
        state.SetIterationTime(CpuSeconds(RUSAGE_SELF) - start);
        if (!ok) {
            state.SkipWithError("install failed");
            break;
        }
    }
}

template <Machine& (*M)()> void CopyPlainFiles(benchmark::State& state) {
    Machine& m = M();
    for (auto _ : state) {
        m.NextDestination();
        const double start = CpuSeconds(RUSAGE_CHILDREN);
        const bool ok = m.CopyPlain();
        state.SetIterationTime(CpuSeconds(RUSAGE_CHILDREN) - start);
        if (!ok) {
            state.SkipWithError("cp -r failed");
            break;
        }
    }
}

// Both in every iteration, one after the other and first in turn: the cost of creating a
// file depends on the file system's state (on ext4 without a journal, every inode freed in
// the last minutes is skipped one by one), which runs apart would give to one side only.
template <Machine& (*M)()> void InstallAgainstCp(benchmark::State& state) {
    Machine& m = M();
    double install = 0;
    double copy = 0;
    int turn = 0;
    for (auto _ : state) {
        double took[2] = {0, 0};
        for (int k = 0; k < 2; ++k) {
            const bool installing = (k + turn) % 2 == 0;
            m.NextDestination();
            const int who = installing ? RUSAGE_SELF : RUSAGE_CHILDREN;
            const double start = CpuSeconds(who);
            const bool ok = installing ? m.Install() : m.CopyPlain();
            took[installing ? 0 : 1] = CpuSeconds(who) - start;
            if (!ok) {
                state.SkipWithError(installing ? "install failed" : "cp -r failed");
                return;
            }
        }
        ++turn;
        install += took[0];
        copy += took[1];
        state.SetIterationTime(took[0]);
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["cp_ms"] = copy / runs * 1e3;
    state.counters["install_MB/s"] = static_cast<double>(m.Bytes()) / 1e6 / (install / runs);
    state.counters["cp_MB/s"] = static_cast<double>(m.Bytes()) / 1e6 / (copy / runs);
    state.counters["ratio"] = copy > 0 ? install / copy : 0;
}

BENCHMARK(InstallAgainstCp<Small>)
    ->Name("InstallVsCpR/2000x2KB")
    ->Iterations(6)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(InstallAgainstCp<Large>)
    ->Name("InstallVsCpR/20x5MB")
    ->Iterations(6)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(InstallPackage<Small>)
    ->Name("Install/2000x2KB")
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(CopyPlainFiles<Small>)
    ->Name("CpR/2000x2KB")
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(InstallPackage<Large>)
    ->Name("Install/20x5MB")
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(CopyPlainFiles<Large>)
    ->Name("CpR/20x5MB")
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vuni

BENCHMARK_MAIN();
