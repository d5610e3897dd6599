// Stand-in for the screen reader itself: notes its start in jfw.journal beside itself
// ("started|working folder"), then runs until it is ended. On Windows it shows a window and
// takes the foreground as it starts, as the screen reader does: a program that starts it
// then loses the foreground to it.
#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "standin_support.h"

namespace {

void NoteStart() {
    using namespace vuni::standin;
    AppendLine(OwnFolder() + kJfwJournal, "started|" + MachinePath(CurrentFolder()));
}

} // namespace

#ifdef _WIN32
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    NoteStart();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "VuniScreenReaderStandIn";
    RegisterClassA(&windowClass);
    HWND window =
        CreateWindowExA(0, windowClass.lpszClassName, "JAWS (stand-in)", WS_OVERLAPPEDWINDOW, 40,
                        40, 320, 120, nullptr, nullptr, instance, nullptr);
    // The show command its starter asked for (the installer: shown normally).
    ShowWindow(window, show);
    SetForegroundWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    return 0;
}
#else
int main() {
    NoteStart();
    for (;;) {
        pause();
    }
}
#endif
