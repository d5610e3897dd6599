// LoadPackage and ExtractEntry on arbitrary program files. The file lives in memory, behind
// a Host that serves only it, so that each input costs no disk access.
#include "common/fuzz_input.h"
#include "log/log.h"
#include "package/marker.h"
#include "package/package.h"
#include "platform/host.h"

#include <cstdint>
#include <string>

namespace {

// One program file, "C:\setup.exe"; writes are accepted and dropped.
class MemoryHost : public vuni::Host {
public:
    std::string program;

    int64_t FileSize(const std::string& path) override {
        return path == kPath ? static_cast<int64_t>(program.size()) : -1;
    }
    bool IsFile(const std::string& path) override { return path == kPath; }
    bool IsDirectory(const std::string&) override { return false; }
    std::unique_ptr<vuni::HostFile> OpenRead(const std::string& path) override {
        return path == kPath ? std::make_unique<vuni::fuzz::MemoryFile>(program) : nullptr;
    }
    bool WriteFile(const std::string&, const void*, size_t) override { return true; }
    bool ReplaceFile(const std::string&, const void*, size_t) override { return true; }
    bool CopyFile(const std::string&, const std::string&) override { return false; }
    bool DeleteFile(const std::string&) override { return false; }
    bool CreateFolder(const std::string&) override { return false; }
    std::vector<vuni::FolderEntry> ListFolder(const std::string&) override { return {}; }
    std::string OwnProgramPath() override { return kPath; }
    std::string CurrentFolder() override { return "C:\\"; }
    std::string TemporaryFolder() override { return "C:\\Temp\\"; }
    void Sleep(uint32_t) override {}
    uint64_t TickCount() override { return 0; }

    static constexpr const char* kPath = "C:\\setup.exe";
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemoryHost host;
    static const std::string marker = vuni::PackageMarker();
    host.program.assign(reinterpret_cast<const char*>(data), size);
    vuni::MemoryLineSink install;
    vuni::MemoryLineSink progress;
    vuni::Log log(install, progress);
    vuni::PackageState state;
    state.ownPath = MemoryHost::kPath;
    state.marker = marker;
    if (vuni::LoadPackage(state, host, log, state.ownPath) != vuni::LoadPackageResult::Success) {
        return 0;
    }
    for (size_t i = 0; i < state.entries.size(); ++i) {
        const vuni::PackageEntry& e = state.entries[i];
        if (vuni::ExtractEntryToFile(state, host, log, static_cast<int>(i), "C:\\out") &&
            state.workBuffer.Size() < static_cast<size_t>(e.plainSize)) {
            __builtin_trap(); // the content claimed must fit the buffer it is read from
        }
    }
    return 0;
}
