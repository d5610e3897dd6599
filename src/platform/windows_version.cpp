#include "platform/windows_version.h"

namespace vuni {

int WindowsVersionClassOf(const WindowsVersionFacts& v) {
    if (v.platformId == kPlatformWin32Windows && v.major == 4) {
        switch (v.minor) {
        case 0:
            return kClassWindows95;
        case 10:
            return kClassWindows98;
        case 90:
            return kClassWindowsMe;
        default:
            return kClassLater;
        }
    }
    if (v.platformId != kPlatformWin32Nt) {
        return kClassLater;
    }
    const bool workstation = v.productType == kProductWorkstation;
    if (v.major == 3 && v.minor == 51) {
        return kClassNt351;
    }
    if (v.major == 4 && v.minor == 0) {
        return kClassNt4;
    }
    if (v.major == 5) {
        switch (v.minor) {
        case 0:
            return kClassWindows2000;
        case 1:
            return kClassWindowsXp;
        case 2:
            return workstation ? kClassWindowsXp : kClassServer2003; // XP x64 is 5.2
        default:
            return kClassLater;
        }
    }
    if (v.major == 6 && v.minor == 0) {
        return workstation ? kClassVista : kClassServer2008;
    }
    if (v.major == 6 && v.minor == 1) {
        return workstation ? kClassWindows7 : kClassServer2008;
    }
    return kClassLater;
}

} // namespace vuni
