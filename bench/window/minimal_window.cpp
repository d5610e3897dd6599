// The smallest window a program of this kind shows: a frame with four push buttons and a
// message loop. The window benchmark measures the installer's start-up against it.
#include <windows.h>

namespace {

LRESULT CALLBACK Procedure(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA type{};
    type.lpfnWndProc = Procedure;
    type.hInstance = instance;
    type.hCursor = LoadCursor(nullptr, IDC_ARROW);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = "MinimalWindow";
    RegisterClassA(&type);
    HWND main = CreateWindowA("MinimalWindow", "Minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 600, 450, nullptr, nullptr, instance, nullptr);
    const char* captions[] = {"< Précédent", "Suivant >", "Annuler", "Aide"};
    for (int i = 0; i < 4; ++i) {
        CreateWindowA("BUTTON", captions[i], WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                      20 + 140 * i, 380, 120, 26, main,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(i + 1)), instance, nullptr);
    }
    ShowWindow(main, SW_SHOW);
    UpdateWindow(main);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(main, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return 0;
}
