#include "platform/sim/sim_name_cache.h"

#include "text/text.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vuni {
namespace {

constexpr uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// Folders kept at most; beyond, the cache starts again empty (and the watches go with it).
constexpr size_t kMaxFolders = 4096;

std::string Join(const std::string& dir, const std::string& name) {
    return !dir.empty() && dir.back() == '/' ? dir + name : dir + "/" + name;
}

// The key of a Linux name: its lower-case Windows name, or, for a name with no Windows form,
// the name itself behind a zero byte (no Windows name holds one), so that it is found only
// as written.
std::string KeyOf(const std::string& utf8Name) {
    std::string cp;
    if (Utf8ToCp1252(utf8Name, cp)) {
        return Lower(cp);
    }
    return std::string(1, '\0') + utf8Name;
}

// The lookup without a cache: the name as written when it exists, else the first entry of
// dir that matches without regard to case.
std::string ReadNoCase(const std::string& dir, const std::string& windowsName,
                       const std::string& utf8Name) {
    struct stat st {};
    if (::lstat(Join(dir, utf8Name).c_str(), &st) == 0) {
        return utf8Name;
    }
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) {
        return utf8Name;
    }
    const std::string wanted = Lower(windowsName);
    std::string found = utf8Name;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        // Case pairs of Windows-1252 have UTF-8 forms of equal length.
        if (name.size() == utf8Name.size() && KeyOf(name) == wanted) {
            found = name;
            break;
        }
    }
    ::closedir(d);
    return found;
}

} // namespace

SimNameCache::~SimNameCache() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool SimNameCache::Start() {
    if (fd_ >= 0) {
        return true;
    }
    if (unavailable_) {
        return false;
    }
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) {
        unavailable_ = true; // the per-user limit of instances: read the folders every time
        return false;
    }
    return true;
}

void SimNameCache::Reset() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    folders_.clear();
    watched_.clear();
}

void SimNameCache::Refresh() {
    if (!Start()) {
        return;
    }
    alignas(inotify_event) char buffer[16384];
    while (fd_ >= 0) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno == EAGAIN) {
            return;
        }
        if (n <= 0) {
            Reset(); // the queue cannot be read: nothing kept can be trusted
            return;
        }
        for (ssize_t at = 0; at < n && fd_ >= 0;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
            Apply(e->wd, e->mask, e->len > 0 ? std::string(e->name) : std::string());
            at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
        }
    }
}

void SimNameCache::Apply(int watch, uint32_t mask, const std::string& name) {
    // A lost event, or a watched folder renamed, deleted or unmounted: the folders below it
    // are now elsewhere or gone, under paths the cache still holds.
    if ((mask & (IN_Q_OVERFLOW | IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT)) != 0) {
        Reset();
        return;
    }
    const auto w = watched_.find(watch);
    if (w == watched_.end()) {
        return;
    }
    for (const std::string& path : w->second) {
        Folder& folder = folders_[path];
        if ((mask & (IN_CREATE | IN_MOVED_TO)) != 0) {
            Added(folder, name);
        } else if ((mask & (IN_DELETE | IN_MOVED_FROM)) != 0) {
            if ((mask & IN_ISDIR) != 0 || folders_.count(Join(path, name)) != 0) {
                Reset(); // a folder gone (or a link to one): drop what was kept below it
                return;
            }
            Removed(folder, name);
        }
    }
}

void SimNameCache::Added(Folder& folder, const std::string& utf8Name) {
    std::vector<std::string>& names = folder.names[KeyOf(utf8Name)];
    if (std::find(names.begin(), names.end(), utf8Name) == names.end()) {
        names.push_back(utf8Name);
    }
}

void SimNameCache::Removed(Folder& folder, const std::string& utf8Name) {
    const auto it = folder.names.find(KeyOf(utf8Name));
    if (it == folder.names.end()) {
        return;
    }
    std::vector<std::string>& names = it->second;
    names.erase(std::remove(names.begin(), names.end(), utf8Name), names.end());
    if (names.empty()) {
        folder.names.erase(it);
    }
}

SimNameCache::Folder* SimNameCache::Load(const std::string& dir) {
    if (folders_.size() >= kMaxFolders) {
        Reset();
        if (!Start()) {
            return nullptr;
        }
    }
    // Watched before it is read, so that no change made while reading is missed; one that
    // the listing already shows is applied again without effect.
    const int watch = ::inotify_add_watch(fd_, dir.c_str(), kWatchMask);
    if (watch < 0) {
        return nullptr;
    }
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) {
        return nullptr; // the watch stays, without folder: its events are ignored
    }
    Folder& folder = folders_[dir];
    folder.watch = watch;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") {
            Added(folder, name);
        }
    }
    ::closedir(d);
    watched_[watch].push_back(dir);
    return &folder;
}

std::string SimNameCache::Find(const std::string& dir, const std::string& windowsName,
                               const std::string& utf8Name) {
    if (fd_ < 0) {
        return ReadNoCase(dir, windowsName, utf8Name);
    }
    auto it = folders_.find(dir);
    Folder* folder = it != folders_.end() ? &it->second : Load(dir);
    if (folder == nullptr) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return utf8Name; // no such folder: nothing in it to match
        }
        return ReadNoCase(dir, windowsName, utf8Name);
    }
    auto names = folder->names.find(Lower(windowsName));
    if (names == folder->names.end()) {
        names = folder->names.find(std::string(1, '\0') + utf8Name);
        if (names == folder->names.end()) {
            return utf8Name;
        }
    }
    const std::vector<std::string>& found = names->second;
    return std::find(found.begin(), found.end(), utf8Name) != found.end() ? utf8Name
                                                                          : found.front();
}

} // namespace vuni
