// The shell folders fixed at start-up, and the roots of the settings folders built on them.
#pragma once

#include "platform/host.h"

#include <string>

namespace vuni {

// The path of a shell special folder followed by "\", or the empty text when the shell
// cannot resolve it.
std::string SpecialFolderPath(Host& host, int csidl);

struct ShellFolders {
    std::string userAppData;    // CSIDL 26, ends with "\" or is empty
    std::string sharedAppData;  // CSIDL 35
    std::string myDocuments;    // CSIDL 5
    std::string userJawsRoot;   // userAppData + "Freedom Scientific\JAWS\"
    std::string sharedJawsRoot; // sharedAppData + "Freedom Scientific\JAWS\"
};

ShellFolders ResolveShellFolders(Host& host);

} // namespace vuni
