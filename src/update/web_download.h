// Downloading one web address into a local file over one TCP connection of the Host.
#pragma once

#include "platform/host.h"
#include "update/http_response.h"

#include <string>
#include <string_view>

namespace vuni {

enum class DownloadResult {
    Ok,
    BadAddress,    // no "://", no host, or a bad port
    ConnectFailed, // the name did not resolve or the connection was refused or timed out
    SendFailed,    // the request could not be sent in time
    BadResponse,   // no answer, a status other than 200 or 302, or a damaged answer
    WriteFailed,   // the local file could not be written
};

// Sends the request for address, reads the answer, and on success creates localPath anew
// with the body. The network layer must already be started.
DownloadResult DownloadToFile(Host& host, std::string_view address, const std::string& localPath,
                              const HttpWaits& waits = {}, const HttpLimits& limits = {});

} // namespace vuni
