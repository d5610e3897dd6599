// The simulated Windows' shell "open" (recorded for tests) and local time.
#include "platform/sim/sim_host.h"

#include <ctime>

namespace vuni {

bool SimHost::ShellOpen(const std::string& text) {
    shellOpened_.push_back(text);
    return shellOpenSucceeds_;
}

WallClock SimHost::LocalTimeNow() {
    if (pinnedTime_) {
        return *pinnedTime_;
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) {
        return {};
    }
    WallClock t;
    t.year = local.tm_year + 1900;
    t.month = local.tm_mon + 1;
    t.day = local.tm_mday;
    t.hour = local.tm_hour;
    t.minute = local.tm_min;
    t.second = local.tm_sec;
    return t;
}

} // namespace vuni
