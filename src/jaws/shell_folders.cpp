#include "jaws/shell_folders.h"

#include "jaws/host_items.h"
#include "text/text.h"

namespace vuni {

std::string SpecialFolderPath(Host& host, int csidl) {
    const std::string folder = host.SpecialFolder(csidl);
    return folder.empty() ? std::string() : EnsureTrailingBackslash(folder);
}

ShellFolders ResolveShellFolders(Host& host) {
    ShellFolders f;
    f.userAppData = SpecialFolderPath(host, kCsidlUserAppData);
    f.sharedAppData = SpecialFolderPath(host, kCsidlSharedAppData);
    f.myDocuments = SpecialFolderPath(host, kCsidlMyDocuments);
    f.userJawsRoot = f.userAppData + kJawsDataFolder;
    f.sharedJawsRoot = f.sharedAppData + kJawsDataFolder;
    return f;
}

} // namespace vuni
