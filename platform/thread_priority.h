#pragma once

namespace qel::platform {

// Raises the calling thread's scheduling priority one step above normal. Best effort: where
// the system refuses (on Linux lowering the nice value needs CAP_SYS_NICE or an RLIMIT_NICE
// allowance), it returns false and the thread keeps its priority.
bool RaiseCurrentThreadPriority();

}  // namespace qel::platform
