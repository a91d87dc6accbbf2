#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <sys/types.h>

namespace qel::test {

// A private Xvfb server on a display number it picks itself, stopped on destruction.
class XvfbServer {
public:
    // Nothing, with the reason in whyNot, when Xvfb is not installed or does not come up.
    [[nodiscard]] static std::unique_ptr<XvfbServer> Start(std::string& whyNot);
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    [[nodiscard]] const std::string& DisplayName() const { return Name; }

private:
    XvfbServer(pid_t pid, std::string name) : Pid(pid), Name(std::move(name)) {}
    pid_t Pid;
    std::string Name;
};

enum class RunResult { Succeeded, Failed, NotInstalled, TimedOut };

// Runs a program found on PATH with its output discarded and waits up to timeout.
[[nodiscard]] RunResult RunProgram(const std::vector<std::string>& argv,
                                   std::chrono::milliseconds timeout);

}  // namespace qel::test
