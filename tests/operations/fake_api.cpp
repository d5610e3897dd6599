// A stand-in for the screen reader's API library in tests: JFWRunFunction succeeds only for
// the configuration reload, and records each call in $VUNI_SIM_ROOT/api.log.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

extern "C" int JFWRunFunction(const char* function);

extern "C" int JFWRunFunction(const char* function) {
    if (const char* root = std::getenv("VUNI_SIM_ROOT")) {
        std::ofstream(std::string(root) + "/api.log", std::ios::app) << function << "\n";
    }
    return std::strcmp(function, "ReloadAllConfigs()") == 0 ? 1 : 0;
}
