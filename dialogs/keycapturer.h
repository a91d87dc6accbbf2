#pragma once

#include <optional>

#include <QString>

#include "translate/keycode.h"

namespace qel {

// Asks the user for one key to bind to a control. Main thread only.
class KeyCapturer {
public:
    virtual ~KeyCapturer() = default;
    // Shows the capture modally for the control named rowLabel ("NAV_IN_INCR"). The captured
    // binding (0 when the user chose Reset), or nothing when the dialog was closed without one.
    [[nodiscard]] virtual std::optional<KeyCode> Capture(const QString& rowLabel) = 0;
};

}  // namespace qel
