#include "platform/quit_signals.h"

namespace qel {

// Windows ends a session with window messages, which the GUI toolkit turns into a close.
std::optional<int> WatchQuitSignals() {
    return std::nullopt;
}

}  // namespace qel
