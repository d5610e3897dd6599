// write_files FOLDER COUNT
//
// The file system's own share of an install under Wine: writes COUNT files of 600 bytes into
// FOLDER (made first), each after the checks an install makes (is the folder there, is the
// file there), and prints the milliseconds it took. Under Wine a name not yet in a folder is
// looked for in the whole folder, without regard to case, so each new file costs more than
// the one before.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 3 || std::atoi(argv[2]) < 1) {
        std::fprintf(stderr, "usage: %s FOLDER COUNT\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const int count = std::atoi(argv[2]);
    CreateDirectoryA(folder.c_str(), nullptr);
    char content[600];
    std::memset(content, 'x', sizeof(content));
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 1; i <= count; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "\\f%04d.jss", i);
        const std::string path = folder + name;
        if (GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES ||
            GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            std::fprintf(stderr, "%s: unexpected state\n", path.c_str());
            return 1;
        }
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD wrote = 0;
        if (file == INVALID_HANDLE_VALUE ||
            !WriteFile(file, content, sizeof(content), &wrote, nullptr) || !CloseHandle(file)) {
            std::fprintf(stderr, "%s: cannot write\n", path.c_str());
            return 1;
        }
    }
    QueryPerformanceCounter(&end);
    std::printf("%.1f ms\n", static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
                                 static_cast<double>(frequency.QuadPart));
    return 0;
}
