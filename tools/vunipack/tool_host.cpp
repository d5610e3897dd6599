#include "tool_host.h"

#include "text/text.h"

#include <cstdio>

#ifdef _WIN32
#include "platform/win32/win32_host.h"
#else
#include "platform/sim/sim_host.h"

#include <filesystem>
#include <system_error>
#endif

namespace vuni::pack {

#ifdef _WIN32

ToolHost::ToolHost() : host_(std::make_unique<Win32Host>()) {}

bool ToolHost::ToHostPath(const std::string& commandLinePath, std::string& hostPath) const {
    hostPath = commandLinePath;
    return !hostPath.empty();
}

std::string ToolHost::ToCommandLinePath(const std::string& hostPath) const {
    return hostPath;
}

std::string ToolHost::OwnFolder() {
    const std::string own = host_->OwnProgramPath();
    return own.empty() ? std::string() : FolderPart(own);
}

std::string ToConsole(const std::string& cp1252) {
    return cp1252;
}

#else

namespace fs = std::filesystem;

ToolHost::ToolHost() {
    // The sandbox only holds the simulated drive C:, which vunipack does not use.
    std::error_code ec;
    fs::path sandbox = fs::temp_directory_path(ec);
    if (ec) {
        sandbox = "/tmp";
    }
    auto sim = std::make_unique<SimHost>(sandbox / "vunipack-host");
    sim->MapDrive('Z', "/");
    std::string cwd;
    if (ToHostPath(fs::current_path(ec).string(), cwd)) {
        sim->SetCurrentFolder(cwd);
    }
    host_ = std::move(sim);
}

bool ToolHost::ToHostPath(const std::string& commandLinePath, std::string& hostPath) const {
    hostPath.clear();
    if (commandLinePath.empty()) {
        return false;
    }
    std::error_code ec;
    const fs::path absolute = fs::absolute(fs::path(commandLinePath), ec).lexically_normal();
    if (ec) {
        return false;
    }
    std::string cp;
    if (!Utf8ToCp1252(absolute.string(), cp)) {
        return false;
    }
    for (char& c : cp) {
        if (c == '/') {
            c = '\\';
        }
    }
    hostPath = "Z:" + cp;
    return true;
}

std::string ToolHost::ToCommandLinePath(const std::string& hostPath) const {
    std::string p = hostPath;
    if (p.size() >= 2 && (p[0] == 'Z' || p[0] == 'z') && p[1] == ':') {
        p.erase(0, 2);
        for (char& c : p) {
            if (c == '\\') {
                c = '/';
            }
        }
    }
    return Cp1252ToUtf8(p);
}

std::string ToolHost::OwnFolder() {
    std::error_code ec;
    const fs::path own = fs::read_symlink("/proc/self/exe", ec);
    std::string hostPath;
    if (ec || !ToHostPath(own.parent_path().string(), hostPath)) {
        return {};
    }
    return EnsureTrailingBackslash(hostPath);
}

std::string ToConsole(const std::string& cp1252) {
    return Cp1252ToUtf8(cp1252);
}

#endif

ToolHost::~ToolHost() = default;

void PrintError(const std::string& message) {
    std::fprintf(stderr, "vunipack: %s\n", message.c_str());
}

} // namespace vuni::pack
