#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qel {

// Looks one environment variable up; null when it is not set.
using EnvironmentLookup = std::function<const char*(const char* name)>;
// Whether the X display of this name answers.
using XDisplayProbe = std::function<bool(const char* displayName)>;

// What to print instead of starting Qt, which aborts with no word a user would understand when
// it has no display: nothing when a display is there (or the user chose a Qt platform, or the
// system has no display servers: Windows, macOS). With no display named, the message says so
// and how to try the program without a desktop (programPath as the user can run it); with an
// X display named that does not answer, one line naming it.
[[nodiscard]] std::optional<std::string> DisplayProblem(const EnvironmentLookup& getEnv,
                                                        const XDisplayProbe& canReach,
                                                        std::string_view programPath);

// Whether this build's system shows windows through a display server named in the environment
// (X11, Wayland); false on Windows and macOS, where DisplayProblem never speaks up.
[[nodiscard]] bool NeedsDisplayServer();

// The real probe: connects to the X display and disconnects at once.
[[nodiscard]] bool CanReachXDisplay(const char* displayName);

}  // namespace qel
