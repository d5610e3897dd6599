// How vunipack reaches the files named on its command line.
//
// Every package routine works on Windows paths in Windows-1252 through a Host. On Windows
// that is the real system and a command-line path is already such a path. On Linux it is a
// simulated Windows whose drive Z: is the Linux root, so "/home/a/é.jss" (UTF-8) becomes
// "Z:\home\a\é.jss" (Windows-1252).
//
// Messages are written in the console's encoding: UTF-8 on Linux, the ANSI code page
// (Windows-1252) on Windows. Command-line arguments already are in it.
#pragma once

#include "platform/host.h"

#include <memory>
#include <string>

namespace vuni::pack {

class ToolHost {
public:
    ToolHost();
    ~ToolHost();
    ToolHost(const ToolHost&) = delete;
    ToolHost& operator=(const ToolHost&) = delete;

    Host& Get() { return *host_; }

    // The Windows path of a command-line path; false when it cannot be written in
    // Windows-1252 (a Linux name with characters outside that code page).
    bool ToHostPath(const std::string& commandLinePath, std::string& hostPath) const;
    // A Windows path back in the command line's form, for messages and listings.
    std::string ToCommandLinePath(const std::string& hostPath) const;
    // The folder that holds the running vunipack, as a Windows path ending with "\"; empty
    // when it cannot be found.
    std::string OwnFolder();

private:
    std::unique_ptr<Host> host_;
};

// Windows-1252 text (package fields, manifest values) in the console's encoding.
std::string ToConsole(const std::string& cp1252);

// Prints "vunipack: " + message + "\n" to stderr (message in the console's encoding).
void PrintError(const std::string& message);

} // namespace vuni::pack
