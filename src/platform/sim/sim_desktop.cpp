// The simulated Windows' desktop: named mutexes, other programs' top-level windows, the
// sound output and the clock. Nothing is shown or heard; every request is recorded.
#include "platform/sim/sim_host.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace vuni {

bool SimHost::NamedMutexExists(const std::string& name) {
    // Mutex names are case-sensitive on Windows.
    return std::find(mutexes_.begin(), mutexes_.end(), name) != mutexes_.end();
}

bool SimHost::CreateNamedMutex(const std::string& name) {
    if (mutexCreationFails_ || !ownedMutex_.empty()) {
        return false;
    }
    mutexes_.push_back(name);
    ownedMutex_ = name;
    return true;
}

void SimHost::CloseNamedMutex() {
    if (ownedMutex_.empty()) {
        return;
    }
    const auto it = std::find(mutexes_.begin(), mutexes_.end(), ownedMutex_);
    if (it != mutexes_.end()) {
        mutexes_.erase(it);
    }
    ownedMutex_.clear();
}

uint64_t SimHost::AddTopLevelWindow(const std::string& title) {
    SimWindow w;
    w.handle = 0x10000 + windows_.size() * 0x10;
    w.title = title;
    windows_.push_back(std::move(w));
    return windows_.back().handle;
}

uint64_t SimHost::FindTopLevelWindow(const std::string& title) {
    for (const SimWindow& w : windows_) {
        if (w.title == title) {
            return w.handle;
        }
    }
    return 0;
}

void SimHost::ShowTopLevelWindow(uint64_t window, int command) {
    for (SimWindow& w : windows_) {
        if (w.handle == window) {
            w.showCommands.push_back(command);
        }
    }
}

std::vector<int> SimHost::WindowShowCommands(uint64_t window) const {
    for (const SimWindow& w : windows_) {
        if (w.handle == window) {
            return w.showCommands;
        }
    }
    return {};
}

bool SimHost::InitSound() {
    ++soundInits_;
    return soundAvailable_;
}

bool SimHost::PlayWav(const void* data, size_t size) {
    if (!soundAvailable_ || data == nullptr || size == 0) {
        return false;
    }
    playedSounds_.emplace_back(static_cast<const char*>(data), size);
    return true;
}

void SimHost::Sleep(uint32_t ms) {
    sleeps_.push_back(ms);
    if (virtualSleep_) {
        sleptTicks_ += ms;
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

uint64_t SimHost::TickCount() {
    using namespace std::chrono;
    return sleptTicks_ +
           static_cast<uint64_t>(
               duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace vuni
