#include "app/displaycheck.h"

#include <array>

namespace qel {

namespace {
// Set by the build: X11 and Wayland sessions name their display in the environment; other
// systems always have one.
constexpr bool kNeedsDisplayServer = QEL_DISPLAY_SERVER != 0;
}  // namespace

std::optional<std::string> MissingDisplayMessage(const EnvironmentLookup& getEnv) {
    if (!kNeedsDisplayServer) {
        return std::nullopt;
    }
    constexpr std::array<const char*, 3> kDisplayVariables{"DISPLAY", "WAYLAND_DISPLAY",
                                                           "QT_QPA_PLATFORM"};
    for (const char* name : kDisplayVariables) {
        const char* value = getEnv(name);
        if (value != nullptr && *value != '\0') {
            return std::nullopt;
        }
    }
    return std::string(
        "qel1000keysend: no display to open its window on (DISPLAY, WAYLAND_DISPLAY and "
        "QT_QPA_PLATFORM are all unset).\n"
        "It is a desktop program: start it from a graphical session, or try it without one "
        "under a virtual X server:\n"
        "    xvfb-run -a qel1000keysend\n");
}

}  // namespace qel
