#include "app/displaycheck.h"

#if QEL_DISPLAY_SERVER
#include <xcb/xcb.h>
#endif

namespace qel {

namespace {
bool IsSet(const char* value) {
    return value != nullptr && *value != '\0';
}
}  // namespace

std::optional<std::string> DisplayProblem(const EnvironmentLookup& getEnv,
                                          const XDisplayProbe& canReach,
                                          std::string_view programPath) {
    if (!NeedsDisplayServer()) {
        return std::nullopt;
    }
    // A platform chosen by the user, or a Wayland session, is Qt's to judge.
    if (IsSet(getEnv("QT_QPA_PLATFORM")) || IsSet(getEnv("WAYLAND_DISPLAY"))) {
        return std::nullopt;
    }
    const char* display = getEnv("DISPLAY");
    if (IsSet(display)) {
        if (canReach(display)) {
            return std::nullopt;
        }
        return "qel1000keysend: display " + std::string(display) + " cannot be reached\n";
    }
    return "qel1000keysend: no display to open its window on (DISPLAY, WAYLAND_DISPLAY and "
           "QT_QPA_PLATFORM are all unset).\n"
           "It is a desktop program: start it from a graphical session, or try it without one "
           "under a virtual X server:\n"
           "    xvfb-run -a " +
           std::string(programPath) + "\n";
}

bool NeedsDisplayServer() {
    // Set by the build: X11 and Wayland sessions name their display in the environment; other
    // systems always have one.
    return QEL_DISPLAY_SERVER != 0;
}

bool CanReachXDisplay(const char* displayName) {
#if QEL_DISPLAY_SERVER
    xcb_connection_t* connection = xcb_connect(displayName, nullptr);
    const bool reached = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reached;
#else
    static_cast<void>(displayName);
    return true;
#endif
}

}  // namespace qel
