#include "web_server.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vuni::sim {
namespace {

bool Accepts(int port) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) {
        return false;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    close(s);
    return ok;
}

} // namespace

bool WebServer::Start(int port, const std::filesystem::path& folder, std::string& error) {
    if (port < 1 || port > 65535) {
        error = "no such port: " + std::to_string(port);
        return false;
    }
    if (Accepts(port)) {
        error = "port " + std::to_string(port) + " is taken already";
        return false;
    }
    const std::string portText = std::to_string(port);
    const std::string folderText = folder.string();
    pid_ = fork();
    if (pid_ < 0) {
        error = "cannot start the web server";
        return false;
    }
    if (pid_ == 0) {
        const int devNull = open("/dev/null", O_RDWR);
        if (devNull >= 0) {
            dup2(devNull, STDOUT_FILENO);
            dup2(devNull, STDERR_FILENO);
        }
        execlp("python3", "python3", "-m", "http.server", portText.c_str(), "--bind", "127.0.0.1",
               "--directory", folderText.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    for (int waited = 0; waited < 10000; waited += 50) {
        if (Accepts(port)) {
            return true;
        }
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            error = "the web server (python3 -m http.server) ended at once";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    Stop();
    error = "the web server does not answer on port " + portText;
    return false;
}

void WebServer::Stop() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }
}

} // namespace vuni::sim
