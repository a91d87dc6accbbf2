#include <windows.h>

#include "platform/thread_priority.h"

namespace qel::platform {

bool RaiseCurrentThreadPriority() {
    // One step above normal within the process's priority class.
    return ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL) != 0;
}

}  // namespace qel::platform
