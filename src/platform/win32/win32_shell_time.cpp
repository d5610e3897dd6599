// The real Windows' shell "open" and local time.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include "platform/win32/win32_host.h"

namespace vuni {

bool Win32Host::ShellOpen(const std::string& text) {
    const HINSTANCE result =
        ShellExecuteA(nullptr, "open", text.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // ShellExecute reports success with a value above 32.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

WallClock Win32Host::LocalTimeNow() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    WallClock t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    return t;
}

} // namespace vuni
