// Host: the one boundary between the system and the operating system.
//
// Every path is a Windows path ("C:\Dossier\fichier.jss") in Windows-1252. Queries never
// throw: a failure gives the empty text, 0, false or -1, as each service says, and the
// caller decides. Two implementations exist: platform/win32 (the real Windows, MinGW only)
// and platform/sim (a simulated Windows on Linux, for tests and tools).
//
// Services are grouped by area. An area that a host does not provide keeps the default
// implementation below, which reports the failure every caller must already handle.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vuni {

// ---- files -------------------------------------------------------------------------

struct FolderEntry {
    std::string name;
    bool isDirectory = false;
};

// An open file for reading, positioned at 0.
class HostFile {
public:
    virtual ~HostFile() = default;
    virtual int64_t Size() = 0;
    virtual bool Seek(int64_t offset) = 0;
    // Reads up to size bytes; returns the count read (0 at the end), -1 on error.
    virtual int64_t Read(void* buffer, int64_t size) = 0;
};

// ---- registry ----------------------------------------------------------------------

enum class RegistryRoot { LocalMachine, CurrentUser };

constexpr uint32_t kKeyRead = 0x20019;
constexpr uint32_t kKeyAllAccess = 0xF003F;
constexpr uint32_t kKeyWow64_64Key = 0x100;

// ---- processes ---------------------------------------------------------------------

struct ProcessEntry {
    uint32_t id = 0;
    std::string exeFile; // the snapshot's executable text, as the system gives it
};

// A started process. id 0 and handle 0 mean that nothing was started.
struct ProcessRun {
    uint32_t id = 0;
    uint64_t handle = 0;
};

constexpr uint32_t kStillActive = 259; // exit code of a process that still runs

enum class LibraryCallStatus { NoLibrary, NoFunction, Called };
struct LibraryCallResult {
    LibraryCallStatus status = LibraryCallStatus::NoLibrary;
    int result = 0;
};

// ---- local time --------------------------------------------------------------------

// A wall-clock date and time, without time zone (package dates count seconds in local time).
struct WallClock {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Host {
public:
    virtual ~Host() = default;

    // ---- files
    // Size in bytes of a regular file; -1 when it does not exist or is a directory.
    virtual int64_t FileSize(const std::string& path) = 0;
    virtual bool IsFile(const std::string& path) = 0;
    // A drive root such as "C:\" counts as a directory.
    virtual bool IsDirectory(const std::string& path) = 0;
    virtual std::unique_ptr<HostFile> OpenRead(const std::string& path) = 0;
    // Creates or truncates the file and writes the bytes; false when it cannot be created or
    // written in full.
    virtual bool WriteFile(const std::string& path, const void* data, size_t size) = 0;
    // Either the old content stays or the new content is there in full: a file that is there
    // is replaced by a temporary file written beside it; a new file is written in place and
    // removed again when the write fails.
    virtual bool ReplaceFile(const std::string& path, const void* data, size_t size) = 0;
    // Copies a regular file, replacing the target.
    virtual bool CopyFile(const std::string& from, const std::string& to) = 0;
    virtual bool DeleteFile(const std::string& path) = 0;
    // Creates one folder (its parent must exist).
    virtual bool CreateFolder(const std::string& path) = 0;
    // The entries of a folder in the order the system lists them, without "." and "..";
    // empty when the folder does not exist.
    virtual std::vector<FolderEntry> ListFolder(const std::string& path) = 0;
    virtual std::string OwnProgramPath() = 0;
    // The current folder, as the system gives it (no final "\" added).
    virtual std::string CurrentFolder() = 0;
    // The temporary folder, ending with "\".
    virtual std::string TemporaryFolder() = 0;

    // Reads a whole file; false when it cannot be read.
    bool ReadWholeFile(const std::string& path, std::string& out);

    // ---- registry: the raw calls; jaws/ applies the access rules.
    // The string value's data without its final zero byte, reading at most maxBytes;
    // nullopt when the key cannot be opened or the value is missing or not text.
    virtual std::optional<std::string> RegistryReadString(RegistryRoot root, const std::string& key,
                                                          const std::string& value, uint32_t access,
                                                          size_t maxBytes);
    // The name of subkey index (from 0); empty when there is none.
    virtual std::string RegistryEnumSubkey(RegistryRoot root, const std::string& key,
                                           uint32_t index, uint32_t access);

    // ---- shell and system facts
    // The folder of a shell special folder (CSIDL number), without a final "\"; empty when
    // the shell cannot resolve it.
    virtual std::string SpecialFolder(int csidl);
    // The Windows version class (10 ... 100); 100 when unknown.
    virtual int WindowsVersionClass();
    virtual bool IsWindows64();

    // ---- processes
    // nullopt when no snapshot can be taken.
    virtual std::optional<std::vector<ProcessEntry>> ProcessSnapshot();
    // Full path of the executable of a process; empty when it cannot be read.
    virtual std::string ProcessImagePath(uint32_t id, int versionClass);
    // Starts a program. commandLine is the whole command line (program path quoted by the
    // caller); workingFolder may be empty (the caller's current folder).
    virtual ProcessRun StartProcess(const std::string& program, const std::string& commandLine,
                                    const std::string& workingFolder, bool hidden);
    // Waits up to timeoutMs; true when the process has ended.
    virtual bool WaitProcess(const ProcessRun& run, uint32_t timeoutMs);
    // Waits up to timeoutMs until a program just started waits for input, its first window
    // shown; returns at once where programs have no windows.
    virtual void WaitProcessReady(const ProcessRun& run, uint32_t timeoutMs);
    // The exit code, kStillActive while the process runs.
    virtual uint32_t ProcessExitCode(const ProcessRun& run);
    virtual void ReleaseProcess(ProcessRun& run);
    // Loads a library, calls one exported function with one text argument, releases it.
    virtual LibraryCallResult CallLibraryFunction(const std::string& library,
                                                  const std::string& function,
                                                  const std::string& argument);

    // ---- desktop
    // true when a mutex of that name already exists (another instance).
    virtual bool NamedMutexExists(const std::string& name);
    // Creates the named mutex, initially owned; false on failure.
    virtual bool CreateNamedMutex(const std::string& name);
    virtual void CloseNamedMutex();
    // A top-level window whose title is exactly title; 0 when none.
    virtual uint64_t FindTopLevelWindow(const std::string& title);
    virtual void ShowTopLevelWindow(uint64_t window, int command);
    // Hands a text (web address, document) to the shell's "open"; false on failure.
    virtual bool ShellOpen(const std::string& text);
    virtual bool InitSound();
    virtual bool PlayWav(const void* data, size_t size);
    virtual void Sleep(uint32_t ms) = 0;
    virtual WallClock LocalTimeNow();
    // Milliseconds from an arbitrary start, for time-outs.
    virtual uint64_t TickCount() = 0;

    // ---- network: one TCP connection at a time, for the version check
    virtual bool NetworkStartup();
    // A connected socket, or -1. Trying every address of the host takes at most timeoutMs
    // in all (the name lookup itself cannot be bounded).
    virtual int64_t TcpConnect(const std::string& host, uint16_t port, uint32_t timeoutMs);
    // Bytes sent (may be fewer than size), 0 when the socket cannot take them now, -1 on
    // error.
    virtual int64_t TcpSend(int64_t socket, const void* data, size_t size);
    // Waits up to timeoutMs for data: bytes read, 0 when the peer closed, -1 on error,
    // -2 when nothing arrived in time.
    virtual int64_t TcpReceive(int64_t socket, void* buffer, size_t size, uint32_t timeoutMs);
    virtual void TcpClose(int64_t socket);
};

} // namespace vuni
