// Starting programs, waiting for them, and calling one function of a library.
#include "platform/win32/owned_handles.h"
#include "platform/win32/proc_address.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_host.h"

#include <vector>
#include <windows.h>

namespace vuni {

namespace {

HANDLE ToHandle(uint64_t value) {
    return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value));
}

} // namespace

ProcessRun Win32Host::StartProcess(const std::string& program, const std::string& commandLine,
                                   const std::string& workingFolder, bool hidden) {
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(hidden ? SW_HIDE : SW_SHOWNORMAL);
    PROCESS_INFORMATION info;
    ZeroMemory(&info, sizeof info);
    // CreateProcessA may write into the command line, so it gets a copy of its own.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &info)) {
        return {};
    }
    OwnedHandle(info.hThread).Close(); // the thread is not waited for
    ProcessRun run;
    run.id = info.dwProcessId;
    run.handle = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(info.hProcess));
    return run;
}

bool Win32Host::WaitProcess(const ProcessRun& run, uint32_t timeoutMs) {
    if (run.handle == 0) {
        return false;
    }
    return WaitForSingleObject(ToHandle(run.handle), timeoutMs) == WAIT_OBJECT_0;
}

void Win32Host::WaitProcessReady(const ProcessRun& run, uint32_t timeoutMs) {
    if (run.handle != 0) {
        WaitForInputIdle(ToHandle(run.handle), timeoutMs);
    }
}

uint32_t Win32Host::ProcessExitCode(const ProcessRun& run) {
    DWORD code = kStillActive;
    if (run.handle == 0 || !GetExitCodeProcess(ToHandle(run.handle), &code)) {
        return kStillActive;
    }
    return code;
}

void Win32Host::ReleaseProcess(ProcessRun& run) {
    OwnedHandle(ToHandle(run.handle)).Close();
    run = {};
}

// The screen reader's API library exports its functions with the Windows API calling
// convention (__stdcall), one ANSI text in and a BOOL-sized result out. On x86_64 there is
// only one convention and the attribute is ignored. A stand-in library for 32-bit Windows
// must export the undecorated name (link with --kill-at or a .def file).
LibraryCallResult Win32Host::CallLibraryFunction(const std::string& library,
                                                 const std::string& function,
                                                 const std::string& argument) {
    LibraryCallResult out;
    const OwnedModule module(LoadLibraryAt(library.c_str()));
    if (!module) {
        return out;
    }
    using Function = int(__stdcall*)(const char*);
    const auto call = ProcAddress<Function>(module.Get(), function.c_str());
    if (call == nullptr) {
        out.status = LibraryCallStatus::NoFunction;
    } else {
        out.status = LibraryCallStatus::Called;
        out.result = call(argument.c_str());
    }
    return out;
}

} // namespace vuni
