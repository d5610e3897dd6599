// Preparation, merge and save of a large default script, against a plain copy of its bytes.
#include "merge/default_jss.h"
#include "merge/merge_pass.h"
#include "platform/sim/sim_host.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <filesystem>
#include <string>

namespace vuni {
namespace {

// A default script of about size bytes: scripts and functions with strings, comments,
// returns and conditionals, CR LF line ends.
std::string MakeDefaultScript(size_t size, int& blocks) {
    std::string s = "; Default script\r\ninclude \"hjconst.jsh\"\r\n\r\n";
    blocks = 0;
    while (s.size() < size) {
        const std::string n = std::to_string(blocks++);
        if (blocks % 2 == 0) {
            s += "Script Script" + n + " ()\r\n";
            s += "\tSayString (\"Bonjour ; élève " + n + "\") ; a comment\r\n";
            s += "\tIf IsPCCursor () Then\r\n\t\tPerformScript SayLine ()\r\n\tEndIf\r\n";
            s += "EndScript\r\n\r\n";
        } else {
            s += "Int Function Function" + n + " (int i, string s)\r\n";
            s += "\tvar int x = i + 1 /* inline */\r\n";
            s += "\tIf x > 3 Then\r\n\t\tReturn 0\r\n\tEndIf\r\n";
            s +=
                "\tSayFormattedMessage (OT_MESSAGE, \"x\", s)\r\n\tReturn x\r\nEndFunction\r\n\r\n";
        }
    }
    return s;
}

// 50 directives spread over the file: adds to scripts and functions, replaces, includes.
std::string MakeMergeFile(int blocks) {
    std::string m = ";merge_tag Bench\r\n;merge_addbegininclude Include \"bench.jsh\"\r\n";
    for (int k = 0; k < 49; ++k) {
        const int b = static_cast<int>(static_cast<long long>(blocks - 1) * k / 48);
        const std::string n = std::to_string(b);
        const bool script = b % 2 == 1;
        const char* verb = k % 5 == 4 ? (script ? "merge_replacescript" : "merge_replacefunction")
                                      : (script ? "merge_addendscript" : "merge_addendfunction");
        m += ";" + std::string(verb) + " " + (script ? "Script" : "Function") + n + " BenchHook (" +
             n + ")\r\n";
    }
    return m;
}

// The save goes to a memory file system when there is one, so that the figures measure the
// work of the save rather than the disk's write-back.
std::filesystem::path SaveFolder() {
    std::error_code ec;
    if (std::filesystem::is_directory("/dev/shm", ec)) {
        return "/dev/shm";
    }
    return std::filesystem::temp_directory_path();
}

// The bytes as LoadJssFile holds them: with room for the line feed the preparation adds.
std::string Loaded(const std::string& bytes) {
    std::string s;
    s.reserve(bytes.size() + 1);
    s.assign(bytes);
    return s;
}

struct Fixture {
    explicit Fixture(size_t size) : host(SaveFolder()) {
        int blocks = 0;
        bytes = MakeDefaultScript(size, blocks);
        ParseMergeContent(file, "C:\\Bench.vunimerge.jss", MakeMergeFile(blocks));
        host.MapDrive('T', SaveFolder());
    }
    std::string bytes;
    MergeFile file;
    SimHost host;
};

void BM_PlainCopy(benchmark::State& state) {
    const Fixture f(static_cast<size_t>(state.range(0)) << 20);
    for (auto _ : state) {
        std::string copy(f.bytes.size(), '\0');
        std::memcpy(copy.data(), f.bytes.data(), f.bytes.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
}

void BM_PrepareMerge(benchmark::State& state) {
    const Fixture f(static_cast<size_t>(state.range(0)) << 20);
    std::string conflicts;
    for (auto _ : state) {
        JssText jss(Loaded(f.bytes));
        PrepareJssText(jss, f.file.tag);
        MergeIntoJssText(jss, f.file, conflicts);
        benchmark::DoNotOptimize(jss.Text().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
}

void BM_PrepareMergeSave(benchmark::State& state) {
    Fixture f(static_cast<size_t>(state.range(0)) << 20);
    std::string conflicts;
    const std::string path = "T:\\vuni-bench-default.jss";
    for (auto _ : state) {
        JssText jss(Loaded(f.bytes));
        PrepareJssText(jss, f.file.tag);
        MergeIntoJssText(jss, f.file, conflicts);
        const std::string out = SavedJssBytes(jss.Text());
        if (!f.host.ReplaceFile(path, out.data(), out.size())) {
            state.SkipWithError("cannot write the benchmark file");
            break;
        }
    }
    f.host.DeleteFile(path);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
}

void BM_SaveBytesOnly(benchmark::State& state) {
    const Fixture f(static_cast<size_t>(state.range(0)) << 20);
    JssText jss(f.bytes);
    PrepareJssText(jss, f.file.tag);
    for (auto _ : state) {
        const std::string out = SavedJssBytes(jss.Text());
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_SaveBytesOnly)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_PlainCopy)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrepareMerge)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrepareMergeSave)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vuni

BENCHMARK_MAIN();
