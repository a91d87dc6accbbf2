#include "platform/thread_priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace qel::platform {

bool RaiseCurrentThreadPriority() {
    // Under SCHED_OTHER the only per-thread knob is the nice value, and on Linux setpriority
    // with a thread ID applies to that thread alone. One nice step is "one step above normal".
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, tid);
    if (current == -1 && errno != 0) {
        return false;
    }
    return setpriority(PRIO_PROCESS, tid, current - 1) == 0;
}

}  // namespace qel::platform
