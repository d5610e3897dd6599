// vuni.exe: the installer's Windows entry point. Everything it does is the program layer's
// start-up, event loop and shutdown, over the real Windows and the real window.
#include "app/installer.h"
#include "platform/win32/win32_host.h"
#include "win32_installer_window.h"

// After the portable headers: <windows.h> renames functions such as DeleteFile.
#include "platform/win32/system_library.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before anything can load a library by name: a DLL planted beside the program (in a
    // download folder) must never be the one loaded.
    vuni::RestrictLibrarySearch();
    vuni::Win32Host host;
    vuni::Win32InstallerWindow window(instance);
    // No arguments are read, and the exit code is 0 whatever happened.
    vuni::RunInstaller(host, window);
    return 0;
}
