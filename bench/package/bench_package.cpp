// Reading the package at start-up must not depend on the size of its files, and
// extracting a file must cost about what copying it does.
//
//   LoadPackage/1024     10,000 entries of 1 KB     (target: under 20 ms)
//   LoadPackage/1048576  10,000 entries of 1 MB     (target: the same time; the file is
//                        sparse: its data are never read at start-up)
//   ExtractEntry         one stored entry of 50 MB, read, unscrambled and written
//   PlainCopy            the same 50 MB read and written as they are (the baseline;
//                        target: ExtractEntry within 1.3 times this)
#include "log/log.h"
#include "package/marker.h"
#include "package/package.h"
#include "package/scramble.h"
#include "platform/sim/sim_host.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string Int32(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    return {static_cast<char>(u), static_cast<char>(u >> 8), static_cast<char>(u >> 16),
            static_cast<char>(u >> 24)};
}

std::string SString(std::string s) {
    vuni::Scramble(s.data(), static_cast<int64_t>(s.size()));
    return Int32(static_cast<int32_t>(s.size())) + s;
}

std::string Header() {
    std::string out =
        std::string(64 * 1024, 'M') + "\n" + vuni::PackageMarker() + "\n" + Int32(1700000000);
    for (int i = 0; i < 12; ++i) {
        out += SString(i == 0 ? "Bloc-notes" : "texte");
    }
    out += Int32(2);
    for (int i = 0; i < 3; ++i) {
        out += SString("");
    }
    return out + SString("2020") + SString("notepad") + Int32(0);
}

// A sandbox whose C:\setup.exe holds count entries of entrySize bytes each. The data are
// holes in a sparse file, except when real is set (then they are the scrambled bytes of
// a repeating pattern).
class Sandbox {
public:
    Sandbox(int count, int32_t entrySize, bool real) {
        char pattern[] = "/tmp/vuni-bench-XXXXXX";
        root_ = mkdtemp(pattern);
        host_ = std::make_unique<vuni::SimHost>(root_);
        const fs::path file = root_ / "c" / "setup.exe";
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::string head = Header();
        Write(fd, head);
        int64_t size = static_cast<int64_t>(head.size());
        std::string data;
        if (real) {
            data.resize(static_cast<size_t>(entrySize));
            for (size_t i = 0; i < data.size(); ++i) {
                data[i] = static_cast<char>("Script SayLine ()\r\n"[i % 19]);
            }
            vuni::Scramble(data.data(), static_cast<int64_t>(data.size()));
        }
        for (int i = 0; i < count; ++i) {
            const std::string record = SString("script" + std::to_string(i) + ".jss") +
                                       SString("%JawsScriptPath%\\") + Int32(0) + Int32(i) +
                                       Int32(entrySize) + Int32(entrySize) + Int32(0x20);
            Write(fd, record);
            size += static_cast<int64_t>(record.size()) + entrySize;
            if (real) {
                Write(fd, data);
            } else {
                ::lseek(fd, size, SEEK_SET);
            }
        }
        if (::ftruncate(fd, size) != 0) {
            std::abort();
        }
        ::close(fd);
    }
    ~Sandbox() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    vuni::SimHost& Host() { return *host_; }

private:
    static void Write(int fd, const std::string& bytes) {
        if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
            std::abort();
        }
    }

    fs::path root_;
    std::unique_ptr<vuni::SimHost> host_;
};

struct Reader {
    vuni::MemoryLineSink install;
    vuni::MemoryLineSink progress;
    vuni::Log log{install, progress};
    vuni::PackageState state;
};

void LoadPackage(benchmark::State& st) {
    const auto entrySize = static_cast<int32_t>(st.range(0));
    Sandbox sandbox(10000, entrySize, false);
    for (auto _ : st) {
        Reader r;
        r.state.ownPath = "C:\\setup.exe";
        r.state.marker = vuni::PackageMarker();
        if (vuni::LoadPackage(r.state, sandbox.Host(), r.log, r.state.ownPath) !=
                vuni::LoadPackageResult::Success ||
            r.state.entries.size() != 10000) {
            st.SkipWithError("the package did not load");
            break;
        }
        benchmark::DoNotOptimize(r.state.entries.data());
    }
}
BENCHMARK(LoadPackage)->Arg(1024)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

constexpr int32_t kBigEntry = 50 * 1024 * 1024;

Sandbox& BigSandbox() {
    static Sandbox sandbox(1, kBigEntry, true);
    return sandbox;
}

void ExtractEntry(benchmark::State& st) {
    Sandbox& sandbox = BigSandbox();
    Reader r;
    r.state.ownPath = "C:\\setup.exe";
    r.state.marker = vuni::PackageMarker();
    if (vuni::LoadPackage(r.state, sandbox.Host(), r.log, r.state.ownPath) !=
        vuni::LoadPackageResult::Success) {
        st.SkipWithError("the package did not load");
        return;
    }
    for (auto _ : st) {
        if (!vuni::ExtractEntryToFile(r.state, sandbox.Host(), r.log, 0, "C:\\out.jss")) {
            st.SkipWithError("extraction failed");
            break;
        }
    }
    st.SetBytesProcessed(st.iterations() * kBigEntry);
}
BENCHMARK(ExtractEntry)->Unit(benchmark::kMillisecond);

void PlainCopy(benchmark::State& st) {
    Sandbox& sandbox = BigSandbox();
    vuni::Host& host = sandbox.Host();
    const int64_t offset = host.FileSize("C:\\setup.exe") - kBigEntry;
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[kBigEntry + 2]);
    for (auto _ : st) {
        auto file = host.OpenRead("C:\\setup.exe");
        int64_t done = 0;
        if (!file || !file->Seek(offset)) {
            st.SkipWithError("cannot read");
            break;
        }
        while (done < kBigEntry) {
            const int64_t n = file->Read(buffer.get() + done, kBigEntry - done);
            if (n <= 0) {
                break;
            }
            done += n;
        }
        file.reset();
        if (done != kBigEntry || !host.WriteFile("C:\\copy.jss", buffer.get(), kBigEntry)) {
            st.SkipWithError("copy failed");
            break;
        }
    }
    st.SetBytesProcessed(st.iterations() * kBigEntry);
}
BENCHMARK(PlainCopy)->Unit(benchmark::kMillisecond);

} // namespace
