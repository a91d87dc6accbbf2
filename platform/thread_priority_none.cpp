// Platforms without a priority adapter: workers keep their priority.
#include "platform/thread_priority.h"

namespace qel::platform {

bool RaiseCurrentThreadPriority() {
    return false;
}

}  // namespace qel::platform
