// CheckForNewVersion: asks the package author's web server whether a newer package exists
// and offers to open it.
#pragma once

#include "log/log.h"
#include "log/message_box.h"
#include "package/package_types.h"
#include "platform/host.h"
#include "update/http_response.h"

#include <functional>
#include <string>
#include <string_view>

namespace vuni {

// Shows a message box (title, text, kind) and returns the user's answer.
using MessageBoxFunction =
    std::function<MessageAnswer(const std::string& title, const std::string& text, MessageKind)>;

// What the check remembers for the rest of the run.
struct UpdateState {
    bool networkStarted = false; // set once the network layer started; never cleared
};

struct VersionCheckContext {
    Host& host;
    Log& log;
    const PackageInfo& info;
    MessageBoxFunction messageBox;
    bool& quit; // set when the user accepts the new version, so that the installer closes
    UpdateState& state;
    HttpWaits waits{};
};

inline constexpr std::string_view kVersionDateMask = "%dd/%mm/%yyyy %hh:%ii";

// The check: silent at start-up (no message unless a new version is found), not silent
// from the update button. The new version's name is handed to the shell only when it is an
// http:// or https:// address, since the descriptor travels unprotected; any other name is
// logged and counts as no new version.
void CheckForNewVersion(VersionCheckContext& context, bool silent);

// The local copy of the descriptor: the temporary folder + LocalVersionFileName.
std::string LocalVersionFilePath(Host& host, const PackageInfo& info, const WallClock& now);

} // namespace vuni
