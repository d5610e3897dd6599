#include "platform/host.h"

namespace vuni {

bool Host::ReadWholeFile(const std::string& path, std::string& out) {
    auto file = OpenRead(path);
    if (!file) {
        return false;
    }
    const int64_t size = file->Size();
    if (size < 0) {
        return false;
    }
    out.assign(static_cast<size_t>(size), '\0');
    int64_t done = 0;
    while (done < size) {
        const int64_t n = file->Read(out.data() + done, size - done);
        if (n <= 0) {
            break;
        }
        done += n;
    }
    out.resize(static_cast<size_t>(done));
    return done == size;
}

// Defaults for the areas a host does not provide: each reports the failure that the
// callers handle anyway (empty text, 0, false).

std::optional<std::string> Host::RegistryReadString(RegistryRoot, const std::string&,
                                                    const std::string&, uint32_t, size_t) {
    return std::nullopt;
}
std::string Host::RegistryEnumSubkey(RegistryRoot, const std::string&, uint32_t, uint32_t) {
    return {};
}
std::string Host::SpecialFolder(int) {
    return {};
}
int Host::WindowsVersionClass() {
    return 100;
}
bool Host::IsWindows64() {
    return false;
}
std::optional<std::vector<ProcessEntry>> Host::ProcessSnapshot() {
    return std::nullopt;
}
std::string Host::ProcessImagePath(uint32_t, int) {
    return {};
}
ProcessRun Host::StartProcess(const std::string&, const std::string&, const std::string&, bool) {
    return {};
}
bool Host::WaitProcess(const ProcessRun&, uint32_t) {
    return false;
}
void Host::WaitProcessReady(const ProcessRun&, uint32_t) {}
uint32_t Host::ProcessExitCode(const ProcessRun&) {
    return kStillActive;
}
void Host::ReleaseProcess(ProcessRun& run) {
    run = {};
}
LibraryCallResult Host::CallLibraryFunction(const std::string&, const std::string&,
                                            const std::string&) {
    return {};
}
bool Host::NamedMutexExists(const std::string&) {
    return false;
}
bool Host::CreateNamedMutex(const std::string&) {
    return true;
}
void Host::CloseNamedMutex() {}
uint64_t Host::FindTopLevelWindow(const std::string&) {
    return 0;
}
void Host::ShowTopLevelWindow(uint64_t, int) {}
bool Host::ShellOpen(const std::string&) {
    return false;
}
bool Host::InitSound() {
    return false;
}
bool Host::PlayWav(const void*, size_t) {
    return false;
}
WallClock Host::LocalTimeNow() {
    return {};
}
bool Host::NetworkStartup() {
    return false;
}
int64_t Host::TcpConnect(const std::string&, uint16_t, uint32_t) {
    return -1;
}
int64_t Host::TcpSend(int64_t, const void*, size_t) {
    return -1;
}
int64_t Host::TcpReceive(int64_t, void*, size_t, uint32_t) {
    return -1;
}
void Host::TcpClose(int64_t) {}

} // namespace vuni
