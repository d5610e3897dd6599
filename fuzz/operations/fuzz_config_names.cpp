// The ConfigNames.ini rewrite over arbitrary file text and alias text: it never fails, a
// second add (with aliases) or remove changes nothing, and after a removal no entry of the aliases
// is left in a "[ConfigNames]" section.
#include "operations/config_names.h"
#include "text/text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vuni;
    const std::string input(reinterpret_cast<const char*>(data), size);
    // The first line is the alias text, the rest the file.
    const size_t split = input.find('\n');
    const std::string aliasText = split == std::string::npos ? input : input.substr(0, split);
    const std::string file = split == std::string::npos ? "" : input.substr(split + 1);
    const std::vector<std::string> aliases = BuildAliasList(aliasText);

    const std::string added = RewriteConfigNames(file, aliases, "Conf", false);
    // Without aliases an add only makes sure a section exists, and an empty one at the end
    // gets another header each time: idempotence holds once there are entries to write.
    if (!aliases.empty() && RewriteConfigNames(added, aliases, "Conf", false) != added) {
        std::abort();
    }
    const std::string removed = RewriteConfigNames(file, aliases, "Conf", true);
    if (RewriteConfigNames(removed, aliases, "Conf", true) != removed) {
        std::abort();
    }
    bool inSection = false;
    for (const std::string& line :
         SplitIniLines(RewriteConfigNames(added, aliases, "Conf", true))) {
        std::string name;
        if (IniSectionName(line, name)) {
            inSection = name == "confignames";
        } else if (inSection) {
            const std::string key = ConfigNamesKey(line);
            for (const std::string& alias : aliases) {
                if (Lower(alias) == key) {
                    std::abort();
                }
            }
        }
    }
    return 0;
}
