// Paths in the stand-ins' journals, as Windows programs name them.
#include "standin_support.h"
#include "text/text.h"

#include <cctype>
#include <cstdlib>

namespace vuni::standin {

std::string MachinePath(const std::string& path) {
#ifdef _WIN32
    return path;
#else
    const char* rootValue = std::getenv("VUNI_SIM_ROOT");
    std::string root = rootValue != nullptr ? rootValue : "";
    while (!root.empty() && root.back() == '/') {
        root.pop_back();
    }
    // root + "/" + drive letter, then the end or a separator.
    const size_t letter = root.size() + 1;
    if (root.empty() || path.size() <= letter || path.compare(0, letter, root + "/") != 0 ||
        std::isalpha(static_cast<unsigned char>(path[letter])) == 0 ||
        (path.size() > letter + 1 && path[letter + 1] != '/')) {
        return path;
    }
    // Built in place: GCC 12 warns wrongly (-Wrestrict) about concatenating these.
    std::string out = path.substr(letter);
    out[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(out[0])));
    out.insert(1, 1, ':');
    if (out.size() == 2) {
        out += '\\';
    }
    for (char& c : out) {
        if (c == '/') {
            c = '\\';
        }
    }
    // The simulated Windows names host files in UTF-8; Windows programs see Windows-1252.
    std::string windows;
    return Utf8ToCp1252(out, windows) ? windows : out;
#endif
}

} // namespace vuni::standin
