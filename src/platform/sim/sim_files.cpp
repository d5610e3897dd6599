#include "platform/sim/sim_host.h"
#include "text/text.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace vuni {
namespace fs = std::filesystem;

namespace {

struct WindowsPath {
    char drive = 0;                      // lower-case drive letter
    std::vector<std::string> components; // Windows-1252 names, "." and ".." resolved
};

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Adds the components of text to out, resolving "." and ".."; false on ".." at the root.
bool AppendComponents(std::string_view text, std::vector<std::string>& out) {
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsSeparator(text[i])) {
            ++i;
        }
        size_t start = i;
        while (i < text.size() && !IsSeparator(text[i])) {
            ++i;
        }
        std::string_view part = text.substr(start, i - start);
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            if (out.empty()) {
                return false;
            }
            out.pop_back();
            continue;
        }
        out.emplace_back(part);
    }
    return true;
}

bool ParseWindowsPath(const std::string& path, const std::string& current, WindowsPath& out) {
    std::string_view p(path);
    if (p.size() >= 2 && IsDriveLetter(p[0]) && p[1] == ':') {
        out.drive = LowerChar(p[0]);
        std::string_view rest = p.substr(2);
        if (!rest.empty() && !IsSeparator(rest[0])) {
            // "C:relative": relative to the current folder when it is on that drive.
            if (current.size() >= 2 && LowerChar(current[0]) == out.drive) {
                if (!AppendComponents(std::string_view(current).substr(2), out.components)) {
                    return false;
                }
            }
        }
        return AppendComponents(rest, out.components);
    }
    if (current.size() < 2 || !IsDriveLetter(current[0]) || current[1] != ':') {
        return false;
    }
    out.drive = LowerChar(current[0]);
    if (!p.empty() && IsSeparator(p[0])) {
        return AppendComponents(p, out.components); // rooted on the current drive
    }
    return AppendComponents(std::string_view(current).substr(2), out.components) &&
           AppendComponents(p, out.components);
}

std::string ToWindowsName(const std::string& hostName) {
    std::string cp;
    return Utf8ToCp1252(hostName, cp) ? cp : hostName;
}

// Reads with pread at a position kept here: a seek costs no system call, which matters to
// the package reader that jumps over every file's data.
class SimFile : public HostFile {
public:
    explicit SimFile(int fd) : fd_(fd) {}
    ~SimFile() override { ::close(fd_); }
    SimFile(const SimFile&) = delete;
    SimFile& operator=(const SimFile&) = delete;

    int64_t Size() override {
        struct stat st {};
        return fstat(fd_, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
    }
    bool Seek(int64_t offset) override {
        if (offset < 0) {
            return false;
        }
        pos_ = offset;
        return true;
    }
    int64_t Read(void* buffer, int64_t size) override {
        auto* p = static_cast<char*>(buffer);
        int64_t done = 0;
        while (done < size) {
            const ssize_t n =
                ::pread(fd_, p + done, static_cast<size_t>(size - done), static_cast<off_t>(pos_));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                return done > 0 ? done : -1;
            }
            if (n == 0) {
                break;
            }
            done += n;
            pos_ += n;
        }
        return done;
    }

private:
    int fd_;
    int64_t pos_ = 0;
};

// The bytes a file takes on the disk: its size, 0 when there is none.
int64_t BytesOf(const fs::path& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? static_cast<int64_t>(st.st_size)
                                                                 : 0;
}

// Space given back to a disk budget (-1: no limit), as a removed or emptied file gives it.
void GiveBack(int64_t& budget, int64_t bytes) {
    if (budget >= 0) {
        budget += bytes;
    }
}

// Removes a file, giving its space back.
bool RemoveFile(const fs::path& file, int64_t& budget) {
    const int64_t bytes = BytesOf(file);
    if (::unlink(file.c_str()) != 0) {
        return false;
    }
    GiveBack(budget, bytes);
    return true;
}

// Writes the bytes; a disk budget (freeBytes of SimFaults, -1 for none) stops the write
// where a full disk would, leaving the bytes written so far. A file emptied to be written
// again gives its space back first. openError (when given) takes the errno of a failed open,
// and stays 0 otherwise.
bool WriteAll(const fs::path& target, const void* data, size_t size, int64_t& budget,
              int openFlags = O_CREAT | O_TRUNC, int* openError = nullptr) {
    const int64_t emptied = (openFlags & O_TRUNC) != 0 ? BytesOf(target) : 0;
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | openFlags, 0644);
    if (openError != nullptr) {
        *openError = fd < 0 ? errno : 0;
    }
    if (fd < 0) {
        return false;
    }
    GiveBack(budget, emptied);
    const auto* p = static_cast<const char*>(data);
    bool ok = true;
    if (budget >= 0 && static_cast<uint64_t>(budget) < size) {
        size = static_cast<size_t>(budget);
        ok = false;
    }
    if (budget >= 0) {
        budget -= static_cast<int64_t>(size);
    }
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(fd, p + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (::close(fd) != 0) {
        ok = false;
    }
    return ok;
}

} // namespace

SimHost::SimHost(fs::path sandboxRoot) : root_(std::move(sandboxRoot)) {
    // Every Windows machine has its drive C:.
    std::error_code ec;
    fs::create_directories(root_ / "c", ec);
}

void SimHost::MapDrive(char letter, fs::path folder) {
    mappedDrives_.emplace_back(LowerChar(letter), std::move(folder));
}

fs::path SimHost::DriveFolder(char lowerLetter) const {
    for (const auto& [letter, folder] : mappedDrives_) {
        if (letter == lowerLetter) {
            return folder;
        }
    }
    return root_ / std::string(1, lowerLetter);
}

fs::path SimHost::ToHostPath(const std::string& windowsPath) const {
    WindowsPath wp;
    if (windowsPath.empty() || !ParseWindowsPath(windowsPath, currentFolder_, wp)) {
        return {};
    }
    // Built as a string: the folder so far is the cache's key for its names.
    std::string host = DriveFolder(wp.drive).string();
    names_.Refresh();
    for (const std::string& c : wp.components) {
        const std::string name = names_.Find(host, c, Cp1252ToUtf8(c));
        if (host.empty() || host.back() != '/') {
            host += '/';
        }
        host += name;
    }
    return host;
}

void SimHost::SetTemporaryFolder(const std::string& path) {
    tempFolder_ = EnsureTrailingBackslash(path);
}

int64_t SimHost::FileSize(const std::string& path) {
    fs::path p = ToHostPath(path);
    struct stat st {};
    if (p.empty() || ::stat(p.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return -1;
    }
    return static_cast<int64_t>(st.st_size);
}

bool SimHost::IsFile(const std::string& path) {
    return FileSize(path) >= 0;
}

bool SimHost::IsDirectory(const std::string& path) {
    fs::path p = ToHostPath(path);
    struct stat st {};
    return !p.empty() && ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::unique_ptr<HostFile> SimHost::OpenRead(const std::string& path) {
    const fs::path p = ToHostPath(path);
    struct stat st {};
    if (p.empty() || ::stat(p.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return nullptr;
    }
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    return std::make_unique<SimFile>(fd);
}

bool SimHost::WriteAllowed(const std::string& path) const {
    if (faults_.readOnly.empty()) {
        return true;
    }
    const std::string target = ToHostPath(path).string();
    for (const std::string& readOnly : faults_.readOnly) {
        const std::string folder = ToHostPath(readOnly).string();
        if (!folder.empty() && target.compare(0, folder.size(), folder) == 0 &&
            (target.size() == folder.size() || target[folder.size()] == '/')) {
            return false;
        }
    }
    return true;
}

bool SimHost::WriteFile(const std::string& path, const void* data, size_t size) {
    fs::path p = ToHostPath(path);
    if (p.empty() || IsDirectory(path) || !WriteAllowed(path)) {
        return false;
    }
    return WriteAll(p, data, size, faults_.freeBytes);
}

bool SimHost::ReplaceFile(const std::string& path, const void* data, size_t size) {
    fs::path p = ToHostPath(path);
    struct stat st {};
    const bool exists = !p.empty() && ::stat(p.c_str(), &st) == 0;
    const int statError = exists ? 0 : errno;
    if (p.empty() || (exists && S_ISDIR(st.st_mode)) || !WriteAllowed(path)) {
        return false;
    }
    if (statError == ENOENT) {
        // No file to keep: written in place, and removed again if the write fails, which
        // leaves what a failed replacement leaves. O_EXCL: a file that appeared meanwhile
        // is replaced the safe way below.
        int openError = 0;
        if (WriteAll(p, data, size, faults_.freeBytes, O_CREAT | O_EXCL, &openError)) {
            return true;
        }
        if (openError != EEXIST) {
            if (openError == 0) {
                RemoveFile(p, faults_.freeBytes); // created here: nothing of it may stay
            }
            return false;
        }
    }
    fs::path tmp = p;
    tmp += ".vuni-new";
    if (!WriteAll(tmp, data, size, faults_.freeBytes)) {
        RemoveFile(tmp, faults_.freeBytes);
        return false;
    }
    const int64_t replaced = BytesOf(p);
    if (std::rename(tmp.c_str(), p.c_str()) != 0) {
        RemoveFile(tmp, faults_.freeBytes);
        return false;
    }
    GiveBack(faults_.freeBytes, replaced);
    return true;
}

bool SimHost::CopyFile(const std::string& from, const std::string& to) {
    if (!IsFile(from) || IsDirectory(to) || !WriteAllowed(to)) {
        return false;
    }
    fs::path src = ToHostPath(from);
    fs::path dst = ToHostPath(to);
    if (dst.empty()) {
        return false;
    }
    if (faults_.freeBytes >= 0) { // copy through the disk budget
        std::string content;
        return ReadWholeFile(from, content) &&
               WriteAll(dst, content.data(), content.size(), faults_.freeBytes);
    }
    std::error_code ec;
    fs::copy_file(src, dst, fs::copy_options::overwrite_existing, ec);
    return !ec;
}

bool SimHost::DeleteFile(const std::string& path) {
    if (!IsFile(path) || !WriteAllowed(path)) {
        return false;
    }
    return RemoveFile(ToHostPath(path), faults_.freeBytes);
}

bool SimHost::CreateFolder(const std::string& path) {
    fs::path p = ToHostPath(path);
    return !p.empty() && WriteAllowed(path) && ::mkdir(p.c_str(), 0755) == 0;
}

std::vector<FolderEntry> SimHost::ListFolder(const std::string& path) {
    std::vector<FolderEntry> out;
    if (!IsDirectory(path)) {
        return out;
    }
    std::error_code ec;
    for (fs::directory_iterator it(ToHostPath(path), ec), end; !ec && it != end; it.increment(ec)) {
        FolderEntry e;
        e.name = ToWindowsName(it->path().filename().string());
        e.isDirectory = it->is_directory(ec);
        out.push_back(std::move(e));
    }
    // The order of an NTFS listing: by name, without regard to case.
    std::sort(out.begin(), out.end(), [](const FolderEntry& a, const FolderEntry& b) {
        return Lower(a.name) < Lower(b.name);
    });
    return out;
}

std::string SimHost::TemporaryFolder() {
    // Windows always has its temporary folder; make sure the simulated one exists.
    std::error_code ec;
    fs::path p = ToHostPath(tempFolder_);
    if (!p.empty()) {
        fs::create_directories(p, ec);
    }
    return tempFolder_;
}

} // namespace vuni
