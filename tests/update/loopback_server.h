// Starts tests/update/http_server.py on a free loopback port for the duration of a test
// suite, serving bodies from a folder of its own.
#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>

namespace vuni::testing {

class LoopbackServer {
public:
    // Starts the server; Port() is 0 when it could not start.
    explicit LoopbackServer(std::filesystem::path folder);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int Port() const { return port_; }
    const std::filesystem::path& Folder() const { return folder_; }
    // "http://127.0.0.1:<port>/<mode>/<body>": the update location for one scenario.
    std::string Location(const std::string& mode, const std::string& body) const;
    void SetBody(const std::string& name, const std::string& bytes) const;
    // The raw bytes of the last request received; empty when none arrived.
    std::string LastRequest() const;
    void ForgetLastRequest() const;

private:
    std::filesystem::path folder_;
    pid_t pid_ = -1;
    int port_ = 0;
};

// A loopback port on which nothing listens.
int UnusedLoopbackPort();

} // namespace vuni::testing
