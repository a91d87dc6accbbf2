#pragma once

#include <optional>

namespace qel {

// SIGTERM (what a desktop session sends at log-out), SIGINT and SIGHUP as a file descriptor
// that becomes readable at the first of them, so the main loop can end the program the way
// its close box does instead of being killed half-way. Main thread, once, before any other
// thread starts. Nothing on systems without such signals, or when the descriptor cannot be
// made (the signals then keep their default action).
[[nodiscard]] std::optional<int> WatchQuitSignals();

}  // namespace qel
