// JCALG1 decode speed against zlib inflate on the same data, encoded sizes against zlib -9,
// and encode speed, on the script corpus and on a generated 20 MB mixed file.
//
//   Jcalg1DecodeVsInflate   decode speed over inflate's on the same data (target: 1.5 or more)
//   Jcalg1PerFile/L         the corpus packed file by file at level L, as `vunipack build`
//                           packs it: size over zlib -9's on the files under 100 KB and on all
//                           (targets at the default level: 0.97 and 0.93)
#include "package/jcalg1.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>
#include <zlib.h>

namespace {

constexpr int kDefaultLevel = vuni::kJcalg1DefaultLevel;

const uint8_t* Bytes(const std::string& s) {
    return reinterpret_cast<const uint8_t*>(s.data());
}

std::vector<std::string> CorpusFiles() {
    std::vector<std::string> files;
    const std::filesystem::path dir = std::filesystem::path(VUNI_SHARED_DIR) / "corpus/jaws";
    std::error_code ec;
    std::vector<std::filesystem::path> paths;
    for (const char* sub : {"jss", "ini"}) {
        if (!std::filesystem::is_directory(dir / sub, ec)) {
            continue;
        }
        for (const auto& e : std::filesystem::directory_iterator(dir / sub)) {
            paths.push_back(e.path());
        }
    }
    std::sort(paths.begin(), paths.end());
    for (const auto& p : paths) {
        std::ifstream in(p, std::ios::binary);
        files.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

const std::vector<std::string>& Corpus() {
    static const std::vector<std::string> files = CorpusFiles();
    return files;
}

std::string CorpusConcatenated() {
    std::string all;
    for (const std::string& f : Corpus()) {
        all += f;
    }
    return all;
}

// 20 MB of 64 KiB stretches: word text, structured binary, noise and runs, in turn.
std::string MixedFile() {
    static const char* const kWords[] = {"the ",     "Say",       "(",       ") ",       "If ",
                                         "Then\r\n", "EndIf\r\n", "\t",      "GetFocus", "window ",
                                         "Script ",  "var ",      "int ",    "string ",  "0x",
                                         "==",       "JAWS",      "return ", "; ",       "\r\n"};
    std::string out;
    uint32_t x = 12345;
    auto next = [&x] {
        x = x * 1103515245u + 12345u;
        return x >> 8;
    };
    constexpr size_t kTotal = 20u << 20;
    constexpr size_t kStretch = 1u << 16;
    for (size_t k = 0; out.size() < kTotal; ++k) {
        const size_t end = std::min(kTotal, out.size() + kStretch);
        switch (k % 4) {
        case 0:
            while (out.size() < end) {
                out += kWords[next() % std::size(kWords)];
            }
            break;
        case 1:
            while (out.size() < end) { // little-endian records with small fields
                const uint32_t v = next() % 4096;
                out += static_cast<char>(v);
                out += static_cast<char>(v >> 8);
                out += '\0';
                out += static_cast<char>(next() % 4 == 0 ? 0xFF : 0);
            }
            break;
        case 2:
            while (out.size() < end) {
                out += static_cast<char>(next());
            }
            break;
        default:
            while (out.size() < end) {
                out.append(1 + next() % 300, static_cast<char>(next() % 3 == 0 ? 0 : next()));
            }
            break;
        }
        out.resize(std::min(out.size(), end));
    }
    return out;
}

const std::string& Data(int which) {
    static const std::string corpus = CorpusConcatenated();
    static const std::string mixed = MixedFile();
    return which == 0 ? corpus : mixed;
}

std::string Deflate(const std::string& plain, int level) {
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, Bytes(plain),
              static_cast<uLong>(plain.size()), level);
    out.resize(size);
    return out;
}

const std::string& Encoded(int which, int level) {
    static std::map<std::pair<int, int>, std::string> cache;
    auto& slot = cache[{which, level}];
    if (slot.empty()) {
        slot = vuni::Jcalg1Encode(Bytes(Data(which)), Data(which).size(), level);
    }
    return slot;
}

bool Ready(benchmark::State& state, int which) {
    if (Data(which).empty()) {
        state.SkipWithError("the script corpus is absent");
        return false;
    }
    return true;
}

// Encode speed; counters give the size against zlib -9 of the data as one stream.
void BM_Jcalg1Encode(benchmark::State& state) {
    const int which = static_cast<int>(state.range(0));
    const int level = static_cast<int>(state.range(1));
    if (!Ready(state, which)) {
        return;
    }
    const std::string& plain = Data(which);
    size_t size = 0;
    for (auto _ : state) {
        size = vuni::Jcalg1Encode(Bytes(plain), plain.size(), level).size();
        benchmark::DoNotOptimize(size);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * plain.size()));
    const double zlib9 = static_cast<double>(Deflate(plain, 9).size());
    state.counters["jcalg1_bytes"] = static_cast<double>(size);
    state.counters["zlib9_bytes"] = zlib9;
    state.counters["ratio_vs_zlib9"] = static_cast<double>(size) / zlib9;
}

// The corpus packed file by file; the time is the encoding's.
void BM_Jcalg1PerFile(benchmark::State& state) {
    const int level = static_cast<int>(state.range(0));
    if (!Ready(state, 0)) {
        return;
    }
    constexpr size_t kSmallFile = 100000;
    double packed[2] = {0, 0}; // files under 100 KB, all files
    double zlib9[2] = {0, 0};
    double worst = 0;
    for (auto _ : state) {
        for (const std::string& f : Corpus()) {
            const double size =
                static_cast<double>(vuni::Jcalg1Encode(Bytes(f), f.size(), level).size());
            state.PauseTiming();
            const double z = static_cast<double>(Deflate(f, 9).size());
            for (int k = f.size() < kSmallFile ? 0 : 1; k < 2; ++k) {
                packed[k] += size;
                zlib9[k] += z;
            }
            worst = std::max(worst, size / z);
            state.ResumeTiming();
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Data(0).size()));
    state.counters["small_vs_zlib9"] = packed[0] / zlib9[0];
    state.counters["all_vs_zlib9"] = packed[1] / zlib9[1];
    state.counters["worst_file_vs_zlib9"] = worst;
}

// Both decoders over the same data in every iteration; the iteration time is JCALG1's.
void BM_Jcalg1DecodeVsInflate(benchmark::State& state) {
    const int which = static_cast<int>(state.range(0));
    if (!Ready(state, which)) {
        return;
    }
    const std::string& plain = Data(which);
    const std::string& block = Encoded(which, kDefaultLevel);
    const std::string stream = Deflate(plain, 9);
    std::string out(plain.size(), '\0');
    auto* const dst = reinterpret_cast<uint8_t*>(out.data());
    double took[2] = {0, 0};
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const size_t n = vuni::Jcalg1Decode(Bytes(block), block.size(), dst, out.size());
        const auto t1 = std::chrono::steady_clock::now();
        uLongf size = static_cast<uLongf>(out.size());
        const int rc = uncompress(dst, &size, Bytes(stream), static_cast<uLong>(stream.size()));
        const auto t2 = std::chrono::steady_clock::now();
        if (n != plain.size() || rc != Z_OK) {
            state.SkipWithError("decode failed");
            return;
        }
        took[0] += std::chrono::duration<double>(t1 - t0).count();
        took[1] += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    }
    const double megabytes = static_cast<double>(state.iterations() * plain.size()) / 1e6;
    state.counters["jcalg1_MB/s"] = megabytes / took[0];
    state.counters["inflate_MB/s"] = megabytes / took[1];
    state.counters["speed_vs_inflate"] = took[1] / took[0];
}

void BM_ZlibDeflate9(benchmark::State& state) {
    const int which = static_cast<int>(state.range(0));
    if (!Ready(state, which)) {
        return;
    }
    const std::string& plain = Data(which);
    for (auto _ : state) {
        benchmark::DoNotOptimize(Deflate(plain, 9).size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * plain.size()));
}

// Argument 0: the script corpus concatenated; 1: the 20 MB mixed file.
BENCHMARK(BM_Jcalg1Encode)
    ->Args({0, 1})
    ->Args({0, kDefaultLevel})
    ->Args({0, 9})
    ->Args({1, kDefaultLevel})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_ZlibDeflate9)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Jcalg1PerFile)
    ->Arg(1)
    ->Arg(3)
    ->Arg(kDefaultLevel)
    ->Arg(9)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_Jcalg1DecodeVsInflate)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
