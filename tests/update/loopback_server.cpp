#include "loopback_server.h"

#include "testing/shared_dir.h"

#include <cstdio>
#include <fstream>
#include <netinet/in.h>
#include <signal.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vuni::testing {

LoopbackServer::LoopbackServer(std::filesystem::path folder) : folder_(std::move(folder)) {
    const std::string script = (SourceDir() / "tests" / "update" / "http_server.py").string();
    int out[2];
    if (pipe(out) != 0) {
        return;
    }
    pid_ = fork();
    if (pid_ == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM); // never outlive a test program that crashed
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execlp("python3", "python3", script.c_str(), folder_.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    if (pid_ < 0) {
        close(out[0]);
        return;
    }
    std::string line;
    char c = 0;
    while (read(out[0], &c, 1) == 1 && c != '\n') {
        line += c;
    }
    close(out[0]);
    port_ = std::atoi(line.c_str());
}

LoopbackServer::~LoopbackServer() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
}

std::string LoopbackServer::Location(const std::string& mode, const std::string& body) const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/" + mode + "/" + body;
}

void LoopbackServer::SetBody(const std::string& name, const std::string& bytes) const {
    WriteHostFile(folder_ / name, bytes);
}

std::string LoopbackServer::LastRequest() const {
    std::ifstream in(folder_ / "last_request.bin", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void LoopbackServer::ForgetLastRequest() const {
    std::error_code ignored;
    std::filesystem::remove(folder_ / "last_request.bin", ignored);
}

int UnusedLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    close(fd);
    return port;
}

} // namespace vuni::testing
