// clang-format off
#include <windows.h>
// clang-format on

#include "platform/win32/owned_handles.h"
#include "platform/win32/win32_host.h"
#include "text/text.h"

#include <utility>

namespace vuni {
namespace {

constexpr DWORD kNoAttributes = INVALID_FILE_ATTRIBUTES;

class Win32File : public HostFile {
public:
    explicit Win32File(OwnedFileHandle file) : file_(std::move(file)) {}

    int64_t Size() override {
        LARGE_INTEGER size;
        return GetFileSizeEx(file_.Get(), &size) ? static_cast<int64_t>(size.QuadPart) : -1;
    }
    bool Seek(int64_t offset) override {
        LARGE_INTEGER to;
        to.QuadPart = offset;
        return offset >= 0 && SetFilePointerEx(file_.Get(), to, nullptr, FILE_BEGIN);
    }
    int64_t Read(void* buffer, int64_t size) override {
        auto* p = static_cast<char*>(buffer);
        int64_t done = 0;
        while (done < size) {
            const DWORD chunk =
                static_cast<DWORD>((size - done) > (1 << 30) ? (1 << 30) : (size - done));
            DWORD got = 0;
            if (!::ReadFile(file_.Get(), p + done, chunk, &got, nullptr)) {
                return done > 0 ? done : -1;
            }
            if (got == 0) {
                break;
            }
            done += got;
        }
        return done;
    }

private:
    OwnedFileHandle file_;
};

// Writes the bytes to an open file. flush: they are on the disk before this returns, so that
// a file about to replace another is never one a power cut could leave empty.
bool WriteContent(OwnedFileHandle& file, const void* data, size_t size, bool flush) {
    const auto* p = static_cast<const char*>(data);
    size_t done = 0;
    while (done < size) {
        const DWORD chunk =
            static_cast<DWORD>((size - done) > (1u << 30) ? (1u << 30) : (size - done));
        DWORD wrote = 0;
        if (!::WriteFile(file.Get(), p + done, chunk, &wrote, nullptr) || wrote == 0) {
            return false;
        }
        done += wrote;
    }
    return !flush || FlushFileBuffers(file.Get());
}

enum class Written { Done, Exists, NotOpened, Failed };

// Writes the file anew (CREATE_ALWAYS) or only when it is not there yet (CREATE_NEW: Exists
// when a file is there). Failed: the file was opened but not written in full.
Written WriteAll(const std::string& path, const void* data, size_t size, bool flush,
                 DWORD disposition = CREATE_ALWAYS) {
    OwnedFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? Written::Exists
                                                                           : Written::NotOpened;
    }
    const bool ok = WriteContent(file, data, size, flush);
    // A failed close can mean the last data never reached the disk.
    return file.Close() && ok ? Written::Done : Written::Failed;
}

std::string FromBuffer(const char* text, DWORD length) {
    return std::string(text, length);
}

} // namespace

int64_t Win32Host::FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return -1;
    }
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool Win32Host::IsFile(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != kNoAttributes && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32Host::IsDirectory(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != kNoAttributes && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::unique_ptr<HostFile> Win32Host::OpenRead(const std::string& path) {
    if (!IsFile(path)) {
        return nullptr;
    }
    OwnedFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return nullptr;
    }
    return std::make_unique<Win32File>(std::move(file));
}

bool Win32Host::WriteFile(const std::string& path, const void* data, size_t size) {
    return WriteAll(path, data, size, false) == Written::Done;
}

bool Win32Host::ReplaceFile(const std::string& path, const void* data, size_t size) {
    // No file to keep: written in place, and removed again if the write fails, which leaves
    // what a failed replacement leaves. This spares a new file the flush and the rename,
    // which cost far more than the write of a small script. CREATE_NEW: a file that appeared
    // meanwhile is replaced the safe way below.
    switch (WriteAll(path, data, size, false, CREATE_NEW)) {
    case Written::Done:
        return true;
    case Written::Failed:
        ::DeleteFileA(path.c_str()); // created here: nothing of it may stay
        return false;
    case Written::NotOpened:
        return false;
    case Written::Exists:
        break;
    }
    const std::string tmp = path + ".vuni-new";
    // Flushed before the rename: the rename may reach the disk before data written lazily.
    if (WriteAll(tmp, data, size, true) != Written::Done) {
        ::DeleteFileA(tmp.c_str());
        return false;
    }
    if (!MoveFileExA(tmp.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileA(tmp.c_str());
        return false;
    }
    return true;
}

bool Win32Host::CopyFile(const std::string& from, const std::string& to) {
    return ::CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool Win32Host::DeleteFile(const std::string& path) {
    return ::DeleteFileA(path.c_str()) != 0;
}

bool Win32Host::CreateFolder(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

std::vector<FolderEntry> Win32Host::ListFolder(const std::string& path) {
    std::vector<FolderEntry> out;
    WIN32_FIND_DATAA data;
    const OwnedFind find(FindFirstFileA((EnsureTrailingBackslash(path) + "*").c_str(), &data));
    if (!find) {
        return out;
    }
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        out.push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(find.Get(), &data));
    return out;
}

std::string Win32Host::OwnProgramPath() {
    char buffer[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return (n == 0 || n >= sizeof buffer) ? std::string() : FromBuffer(buffer, n);
}

std::string Win32Host::CurrentFolder() {
    char buffer[MAX_PATH * 2];
    const DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
    return (n == 0 || n >= sizeof buffer) ? std::string() : FromBuffer(buffer, n);
}

std::string Win32Host::TemporaryFolder() {
    char buffer[MAX_PATH * 2];
    const DWORD n = GetTempPathA(sizeof buffer, buffer);
    return (n == 0 || n >= sizeof buffer) ? std::string()
                                          : EnsureTrailingBackslash(FromBuffer(buffer, n));
}

void Win32Host::Sleep(uint32_t ms) {
    ::Sleep(ms);
}

uint64_t Win32Host::TickCount() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    if (!QueryPerformanceFrequency(&frequency) || !QueryPerformanceCounter(&now) ||
        frequency.QuadPart == 0) {
        return GetTickCount();
    }
    return static_cast<uint64_t>(now.QuadPart / (frequency.QuadPart / 1000));
}

} // namespace vuni
