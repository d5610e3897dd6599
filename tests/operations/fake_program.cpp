// A stand-in program for tests: records how it was started, then behaves as told.
//
// It appends one line to $VUNI_SIM_ROOT/runs.log: its file name, its working folder and its
// arguments, separated by "|". Its behaviour comes from the first argument that names a
// readable file (or, without arguments, from "behaviour.txt" in its working folder):
// "exit=N" sets the exit code, "sleep=N" waits N milliseconds first. A ".jss" argument is
// "compiled" into a ".jsb" file beside it.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

long Setting(const std::string& text, const std::string& name) {
    const size_t at = text.find(name + "=");
    return at == std::string::npos ? 0
                                   : std::strtol(text.c_str() + at + name.size() + 1, nullptr, 10);
}

} // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const char* root = std::getenv("VUNI_SIM_ROOT");
    std::string line = fs::path(argv[0]).filename().string() + "|" + fs::current_path().string();
    std::string behaviour;
    for (int i = 1; i < argc; ++i) {
        line += "|";
        line += argv[i];
        std::ifstream in(argv[i], std::ios::binary);
        if (in && behaviour.empty()) {
            std::ostringstream text;
            text << in.rdbuf();
            behaviour = text.str();
            fs::path out(argv[i]);
            if (out.extension() == ".jss" || out.extension() == ".JSS") {
                out.replace_extension(".jsb");
                std::ofstream(out, std::ios::binary) << "compiled\n";
            }
        }
    }
    if (argc == 1) {
        std::ifstream in("behaviour.txt", std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        behaviour = text.str();
    }
    if (root != nullptr) {
        std::ofstream(fs::path(root) / "runs.log", std::ios::app) << line << "\n";
    }
    const long sleepMs = Setting(behaviour, "sleep");
    if (sleepMs > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
    }
    return static_cast<int>(Setting(behaviour, "exit"));
}
