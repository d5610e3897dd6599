// first_page_launcher RUNS PROGRAM [PROGRAM ...]
//
// Measures how long each program takes from its start to its first window shown and ready:
// a visible top-level window of the process (not a message box) whose thread answers
// messages, that is, the program has finished its start-up and waits for the user. The
// programs are started in turn, RUNS times each, interleaved so that a machine busy with
// other work slows them alike. Each run's time is printed, then each program's median.
// A program that shows no window within 60 seconds, or a message box instead, fails the run.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <windows.h>

namespace {

struct Search {
    DWORD process;
    HWND window;
    bool box;
};

BOOL CALLBACK FindShown(HWND w, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner != search->process || !IsWindowVisible(w)) {
        return TRUE;
    }
    char name[32] = {};
    GetClassNameA(w, name, sizeof(name));
    if (lstrcmpA(name, "#32770") == 0) {
        search->box = true;
        return TRUE;
    }
    search->window = w;
    return FALSE;
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// Milliseconds to the first window, or a negative number when there was none.
double TimeToFirstWindow(const std::string& program) {
    std::string folder = program.substr(0, program.find_last_of('\\') + 1);
    std::string command = "\"" + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", program.c_str(), GetLastError());
        return -1;
    }
    double ms = -1;
    for (;;) {
        Search search{process.dwProcessId, nullptr, false};
        EnumWindows(FindShown, reinterpret_cast<LPARAM>(&search));
        DWORD_PTR answer = 0;
        if (search.window != nullptr &&
            SendMessageTimeoutA(search.window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer)) {
            LARGE_INTEGER now;
            QueryPerformanceCounter(&now);
            ms = Seconds(start, now) * 1000;
            break;
        }
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        if (search.box || Seconds(start, now) > 60 ||
            WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) {
            std::fprintf(stderr, "%s: %s\n", program.c_str(),
                         search.box ? "a message box instead of the window" : "no window");
            break;
        }
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ms;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || std::atoi(argv[1]) < 1) {
        std::fprintf(stderr, "usage: %s RUNS PROGRAM [PROGRAM ...]\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    std::vector<std::vector<double>> times(static_cast<size_t>(argc - 2));
    for (int run = 0; run < runs; ++run) {
        for (int p = 2; p < argc; ++p) {
            const double ms = TimeToFirstWindow(argv[p]);
            if (ms < 0) {
                return 1;
            }
            std::printf("run %d %s %.1f ms\n", run + 1, argv[p], ms);
            std::fflush(stdout);
            times[static_cast<size_t>(p - 2)].push_back(ms);
        }
    }
    for (int p = 2; p < argc; ++p) {
        std::printf("median %s %.1f ms\n", argv[p], Median(times[static_cast<size_t>(p - 2)]));
    }
    return 0;
}
