// A web server on this machine's loopback for the scenarios of the new-version check: the
// Python standard library's file server, serving one folder on one port.
#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>

namespace vuni::sim {

class WebServer {
public:
    WebServer() = default;
    ~WebServer() { Stop(); }
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // Starts serving folder on 127.0.0.1:port and waits (up to 10 s) until it accepts
    // connections. False, with error set, when it cannot be started.
    bool Start(int port, const std::filesystem::path& folder, std::string& error);
    void Stop();

private:
    pid_t pid_ = -1;
};

} // namespace vuni::sim
