// Stand-in for the screen reader's programming library: JFWRunFunction runs one function
// of the running screen reader by name. Only "ReloadAllConfigs()" is known: it returns 1,
// anything else 0. Each call appends its argument to JfwAPI.journal beside the library.
#include "jaws/host_items.h"
#include "standin_support.h"

#include <cstring>
#include <string>

#ifdef _WIN32
#define VUNI_EXPORT extern "C" __declspec(dllexport)
#define VUNI_CALL __stdcall
#else
#define VUNI_EXPORT extern "C" __attribute__((visibility("default")))
#define VUNI_CALL
#endif

VUNI_EXPORT int VUNI_CALL JFWRunFunction(const char* function);

VUNI_EXPORT int VUNI_CALL JFWRunFunction(const char* function) {
    const std::string call = function != nullptr ? function : "";
    using namespace vuni::standin;
    AppendLine(ModuleFolder(reinterpret_cast<const void*>(&JFWRunFunction)) + kJfwApiJournal, call);
    return call == vuni::kReloadAllConfigsCall ? 1 : 0;
}
