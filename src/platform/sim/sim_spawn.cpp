// Processes of the simulated Windows: the programs are native stand-ins placed at their
// Windows paths in the sandbox, started as real child processes.
#include "platform/sim/sim_host.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vuni {
namespace fs = std::filesystem;

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Splits a command line as Windows' CommandLineToArgvW does: the program name ends at the
// closing quote or the first blank; in the arguments 2n backslashes before a quote give n
// backslashes and a quote that opens or closes, 2n+1 give n backslashes and a literal
// quote, other backslashes are literal, and "" inside quotes is a literal quote.
std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> args;
    size_t i = 0;
    std::string first;
    if (i < line.size() && line[i] == '"') {
        ++i;
        while (i < line.size() && line[i] != '"') {
            first += line[i++];
        }
        if (i < line.size()) {
            ++i;
        }
    } else {
        while (i < line.size() && !IsBlank(line[i])) {
            first += line[i++];
        }
    }
    args.push_back(first);
    while (true) {
        while (i < line.size() && IsBlank(line[i])) {
            ++i;
        }
        if (i >= line.size()) {
            break;
        }
        std::string arg;
        bool quoted = false;
        while (i < line.size() && (quoted || !IsBlank(line[i]))) {
            if (line[i] == '\\') {
                size_t count = 0;
                while (i < line.size() && line[i] == '\\') {
                    ++count;
                    ++i;
                }
                if (i < line.size() && line[i] == '"') {
                    arg.append(count / 2, '\\');
                    if (count % 2 == 1) {
                        arg += '"';
                        ++i;
                    }
                } else {
                    arg.append(count, '\\');
                }
            } else if (line[i] == '"') {
                if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    arg += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                arg += line[i++];
            }
        }
        args.push_back(arg);
    }
    return args;
}

bool IsDrivePath(const std::string& arg) {
    return arg.size() >= 3 &&
           ((arg[0] >= 'A' && arg[0] <= 'Z') || (arg[0] >= 'a' && arg[0] <= 'z')) &&
           arg[1] == ':' && (arg[2] == '\\' || arg[2] == '/');
}

// The exit code a Windows caller sees for a child's wait status.
uint32_t ExitCodeOf(int status) {
    if (WIFEXITED(status)) {
        return static_cast<uint32_t>(WEXITSTATUS(status));
    }
    if (WIFSIGNALED(status)) {
        return 128u + static_cast<uint32_t>(WTERMSIG(status));
    }
    return 1;
}

// Collects the child's status when it has ended; true when it has.
bool Reap(SimChildren::Child& child) {
    if (child.ended) {
        return true;
    }
    int status = 0;
    const pid_t got = ::waitpid(child.pid, &status, WNOHANG);
    if (got == child.pid) {
        child.ended = true;
        child.exitCode = ExitCodeOf(status);
    } else if (got < 0 && errno == ECHILD) {
        child.ended = true;
        child.exitCode = 1;
    }
    return child.ended;
}

} // namespace

SimChildren::~SimChildren() {
    for (Child& child : children) {
        if (!Reap(child)) {
            ::kill(child.pid, SIGKILL);
            int status = 0;
            ::waitpid(child.pid, &status, 0);
        }
    }
}

SimChildren::Child* SimHost::FindChild(const ProcessRun& run) {
    for (SimChildren::Child& child : children_.children) {
        if (run.handle != 0 && static_cast<uint64_t>(child.pid) == run.handle && !child.released) {
            return &child;
        }
    }
    return nullptr;
}

ProcessRun SimHost::StartProcess(const std::string& program, const std::string& commandLine,
                                 const std::string& workingFolder, bool hidden) {
    children_.starts.push_back({program, commandLine, workingFolder, hidden});
    const fs::path exe = ToHostPath(program);
    struct stat st {};
    if (exe.empty() || ::stat(exe.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return {};
    }
    // Without a working folder of its own the child starts in the current folder of the
    // simulated machine, as a Windows child inherits its parent's, not in this process's.
    // (A current folder missing from the sandbox leaves this process's.)
    const bool own = !workingFolder.empty();
    const std::string& where = own ? workingFolder : currentFolder_;
    fs::path folder = ToHostPath(where);
    if (folder.empty() || !IsDirectory(where)) {
        if (own) {
            return {};
        }
        folder.clear();
    }

    std::vector<std::string> args = SplitCommandLine(commandLine);
    args[0] = exe.string();
    for (size_t k = 1; k < args.size(); ++k) {
        if (IsDrivePath(args[k])) {
            const fs::path mapped = ToHostPath(args[k]);
            if (!mapped.empty()) {
                args[k] = mapped.string();
            }
        }
    }
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    std::vector<std::string> env;
    for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
        if (std::string(*e).rfind("VUNI_SIM_ROOT=", 0) != 0) {
            env.emplace_back(*e);
        }
    }
    env.push_back("VUNI_SIM_ROOT=" + root_.string());
    std::vector<char*> envp;
    envp.reserve(env.size() + 1);
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    // The child reports a failed chdir or exec through a pipe closed on exec.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        return {};
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return {};
    }
    if (pid == 0) {
        if (folder.empty() || ::chdir(folder.c_str()) == 0) {
            ::execve(exe.c_str(), argv.data(), envp.data());
        }
        const int err = errno;
        ssize_t ignored = ::write(report[1], &err, sizeof err);
        (void)ignored;
        ::_exit(127);
    }
    ::close(report[1]);
    int err = 0;
    ssize_t n;
    do {
        n = ::read(report[0], &err, sizeof err);
    } while (n < 0 && errno == EINTR);
    ::close(report[0]);
    if (n > 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        return {};
    }
    SimChildren::Child child;
    child.pid = pid;
    child.program = program;
    children_.children.push_back(child);
    ProcessRun run;
    run.id = static_cast<uint32_t>(pid);
    run.handle = static_cast<uint64_t>(pid);
    return run;
}

bool SimHost::WaitProcess(const ProcessRun& run, uint32_t timeoutMs) {
    SimChildren::Child* child = FindChild(run);
    if (child == nullptr) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    auto pause = std::chrono::microseconds(100);
    while (!Reap(*child)) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, std::chrono::microseconds(5000));
    }
    return true;
}

uint32_t SimHost::ProcessExitCode(const ProcessRun& run) {
    SimChildren::Child* child = FindChild(run);
    if (child == nullptr) {
        return kStillActive;
    }
    return Reap(*child) ? child->exitCode : kStillActive;
}

void SimHost::ReleaseProcess(ProcessRun& run) {
    if (SimChildren::Child* child = FindChild(run)) {
        child->released = true;
    }
    run = {};
}

const std::vector<ProcessEntry>& SimHost::StartedProcesses() {
    auto& list = children_.children;
    list.erase(std::remove_if(list.begin(), list.end(),
                              [](SimChildren::Child& c) { return Reap(c) && c.released; }),
               list.end());
    children_.running.clear();
    for (const SimChildren::Child& child : list) {
        if (!child.ended) {
            children_.running.push_back({static_cast<uint32_t>(child.pid), child.program});
        }
    }
    return children_.running;
}

LibraryCallResult SimHost::CallLibraryFunction(const std::string& library,
                                               const std::string& function,
                                               const std::string& argument) {
    LibraryCallResult out;
    if (!IsFile(library)) {
        return out;
    }
    void* handle = ::dlopen(ToHostPath(library).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        return out;
    }
    using Function = int (*)(const char*);
    void* symbol = ::dlsym(handle, function.c_str());
    if (symbol == nullptr) {
        out.status = LibraryCallStatus::NoFunction;
    } else {
        // The library runs in this process: it finds the sandbox as a started program does.
        ::setenv("VUNI_SIM_ROOT", root_.c_str(), 1);
        out.status = LibraryCallStatus::Called;
        out.result = reinterpret_cast<Function>(symbol)(argument.c_str());
    }
    ::dlclose(handle);
    return out;
}

} // namespace vuni
