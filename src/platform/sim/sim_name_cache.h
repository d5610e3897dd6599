// The names of the sandbox folders, kept in memory so that finding a Windows name without
// regard to case does not read the folder again for every path.
//
// A folder's names are read once and then kept up to date by inotify: every change made to
// a folder (by this process, a child it started, or a test writing into the sandbox
// directly) is queued by the kernel when it is made, and the queue is read before every
// lookup. A change the cache cannot follow by name (a folder renamed or deleted, a lost
// event) drops every folder. Where inotify is not available, every lookup reads the folder.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace vuni {

class SimNameCache {
public:
    SimNameCache() = default;
    ~SimNameCache();
    SimNameCache(const SimNameCache&) = delete;
    SimNameCache& operator=(const SimNameCache&) = delete;

    // Applies the changes queued since the last call; call once before a series of Find.
    void Refresh();
    // The name of the entry of the Linux folder dir whose Windows name (Windows-1252) is
    // windowsName without regard to case: utf8Name itself when that entry exists or when
    // none matches, else the first matching entry.
    std::string Find(const std::string& dir, const std::string& windowsName,
                     const std::string& utf8Name);

private:
    struct Folder {
        int watch = -1;
        // Lower-case Windows name -> the Linux names that have it (several only when
        // names differ by case alone, which Linux allows).
        std::unordered_map<std::string, std::vector<std::string>> names;
    };

    bool Start();
    void Reset();
    Folder* Load(const std::string& dir);
    static void Added(Folder& folder, const std::string& utf8Name);
    static void Removed(Folder& folder, const std::string& utf8Name);
    void Apply(int watch, uint32_t mask, const std::string& name);

    int fd_ = -1;
    bool unavailable_ = false;
    std::unordered_map<std::string, Folder> folders_;           // by Linux path
    std::unordered_map<int, std::vector<std::string>> watched_; // watch -> folder paths
};

} // namespace vuni
