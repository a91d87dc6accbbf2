#pragma once

#include <memory>
#include <string>

#include "translate/keyinjector.h"
#include "base/logsink.h"

namespace qel {

// Where the Linux back ends reach the keyboard input; ignored on other platforms.
struct KeyInjectorSources {
    std::string UinputPath = "/dev/uinput";
    std::string DisplayName;  // empty: $DISPLAY
};

// The keystroke back end for this session, created once at start-up: on Linux a
// virtual keyboard when the uinput device is writable (works under Wayland and on
// the console), else XTest when an X display opens, else one that sends nothing,
// after one log line saying so and what to do. Never null. Main thread only; log
// must outlive the injector.
[[nodiscard]] std::unique_ptr<KeyInjector> CreateKeyInjector(
    LogSink& log, const KeyInjectorSources& sources = {});

}  // namespace qel
