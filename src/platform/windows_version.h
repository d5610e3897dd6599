// The Windows version classes: one number per Windows family, in release order, so that
// callers can test ranges ("2000 and later" is 50 and above).
#pragma once

#include <cstdint>

namespace vuni {

constexpr int kClassWindows95 = 10;
constexpr int kClassWindows98 = 30;
constexpr int kClassWindowsMe = 40;
constexpr int kClassNt351 = 5;
constexpr int kClassNt4 = 20;
constexpr int kClassWindows2000 = 50;
constexpr int kClassWindowsXp = 60;
constexpr int kClassServer2003 = 65;
constexpr int kClassVista = 70;
constexpr int kClassServer2008 = 75;
constexpr int kClassWindows7 = 80;
constexpr int kClassLater = 100;

// The figures GetVersionExA reports with its extended structure.
struct WindowsVersionFacts {
    uint32_t platformId = 0; // 1 the 95 family, 2 the NT family
    uint32_t major = 0;
    uint32_t minor = 0;
    uint8_t productType = 1; // 1 workstation, 2 domain controller, 3 server
};

constexpr uint32_t kPlatformWin32Windows = 1;
constexpr uint32_t kPlatformWin32Nt = 2;
constexpr uint8_t kProductWorkstation = 1;

// The class of a version; kClassLater for anything the table does not name.
int WindowsVersionClassOf(const WindowsVersionFacts& facts);

} // namespace vuni
