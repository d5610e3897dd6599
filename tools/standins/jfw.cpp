// Stand-in for the screen reader itself: notes its start in jfw.journal beside itself
// ("started|working folder"), then runs without a window until it is ended.
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
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    NoteStart();
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
