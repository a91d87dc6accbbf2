#include "input_xvfb.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace qel::test {
namespace {

using Clock = std::chrono::steady_clock;

struct SpawnActions {
    posix_spawn_file_actions_t Actions;
    SpawnActions() { posix_spawn_file_actions_init(&Actions); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&Actions); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
};

int Spawn(pid_t& pid, const std::vector<std::string>& argv, SpawnActions& actions) {
    posix_spawn_file_actions_addopen(&actions.Actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions.Actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    return posix_spawnp(&pid, args[0], &actions.Actions, nullptr, args.data(), environ);
}

// Waits for the child to end within the deadline; kills it when it does not.
RunResult Reap(pid_t pid, Clock::time_point deadline) {
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return RunResult::TimedOut;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? RunResult::Succeeded : RunResult::Failed;
}

}  // namespace

std::unique_ptr<XvfbServer> XvfbServer::Start(std::string& whyNot) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        whyNot = std::string("pipe: ") + std::strerror(errno);
        return nullptr;
    }
    SpawnActions actions;
    posix_spawn_file_actions_addclose(&actions.Actions, pipeFds[0]);
    pid_t pid = 0;
    // -displayfd lets the server take the first free display and tell us which.
    const int error = Spawn(pid,
                            {"Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0",
                             "640x480x24", "-nolisten", "tcp"},
                            actions);
    close(pipeFds[1]);
    if (error != 0) {
        close(pipeFds[0]);
        whyNot = std::string("Xvfb cannot be started: ") + std::strerror(error);
        return nullptr;
    }

    std::string number;
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (number.find('\n') == std::string::npos && Clock::now() < deadline) {
        pollfd readable{pipeFds[0], POLLIN, 0};
        if (poll(&readable, 1, 100) <= 0) continue;
        char buffer[16];
        const ssize_t count = read(pipeFds[0], buffer, sizeof buffer);
        if (count <= 0) break;
        number.append(buffer, static_cast<std::size_t>(count));
    }
    close(pipeFds[0]);
    if (number.find('\n') == std::string::npos) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        whyNot = "Xvfb did not report a display";
        return nullptr;
    }
    number.erase(number.find('\n'));
    return std::unique_ptr<XvfbServer>(new XvfbServer(pid, ":" + number));
}

XvfbServer::~XvfbServer() {
    kill(Pid, SIGTERM);
    // Reap kills the server outright should it not stop in time.
    (void)Reap(Pid, Clock::now() + std::chrono::seconds(5));
}

RunResult RunProgram(const std::vector<std::string>& argv, std::chrono::milliseconds timeout) {
    SpawnActions actions;
    pid_t pid = 0;
    if (Spawn(pid, argv, actions) != 0) return RunResult::NotInstalled;
    return Reap(pid, Clock::now() + timeout);
}

}  // namespace qel::test
