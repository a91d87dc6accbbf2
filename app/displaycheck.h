#pragma once

#include <functional>
#include <optional>
#include <string>

namespace qel {

// Looks one environment variable up; null when it is not set.
using EnvironmentLookup = std::function<const char*(const char* name)>;

// The message to print when no display is named at all, so that the program can say so
// instead of aborting inside Qt. Nothing when DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM is
// set to something, and always nothing on systems without display servers (Windows, macOS).
[[nodiscard]] std::optional<std::string> MissingDisplayMessage(const EnvironmentLookup& getEnv);

}  // namespace qel
