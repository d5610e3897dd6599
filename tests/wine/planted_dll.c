/* A DLL named like one of Windows' own, as a web page could leave one in a download folder.
 * Any program that loads it leaves a mark: a line with that program's path in
 * C:\vuni-planted\<PLANTED_NAME>.mark. Built by planted_dlls_wine_test.py with the MinGW gcc,
 * once for each name (-DPLANTED_NAME="winmm"). It exports nothing. */
#include <windows.h>

#ifndef PLANTED_NAME
#error "build with -DPLANTED_NAME=\"name\""
#endif

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    (void)self;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        char line[MAX_PATH + 2];
        DWORD n = GetModuleFileNameA(NULL, line, MAX_PATH);
        line[n++] = '\r';
        line[n++] = '\n';
        CreateDirectoryA("C:\\vuni-planted", NULL);
        HANDLE mark = CreateFileA("C:\\vuni-planted\\" PLANTED_NAME ".mark", FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, NULL);
        if (mark != INVALID_HANDLE_VALUE) {
            DWORD written;
            WriteFile(mark, line, n, &written, NULL);
            CloseHandle(mark);
        }
    }
    return TRUE;
}
