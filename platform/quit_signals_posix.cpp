#include "platform/quit_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace qel {
namespace {

// Written by the signal handler: only async-signal-safe calls may touch it there.
int WriteEnd = -1;

void OnQuitSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe already says "quit"; nothing more to do.
    [[maybe_unused]] const ssize_t written = write(WriteEnd, &byte, 1);
    errno = savedErrno;
}

}  // namespace

std::optional<int> WatchQuitSignals() {
    std::array<int, 2> ends{};
    if (pipe(ends.data()) != 0) {
        return std::nullopt;
    }
    for (const int end : ends) {
        fcntl(end, F_SETFD, FD_CLOEXEC);
        fcntl(end, F_SETFL, O_NONBLOCK);
    }
    WriteEnd = ends[1];
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
    return ends[0];
}

}  // namespace qel
