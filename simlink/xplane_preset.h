#pragma once

#include <string>
#include <string_view>

#include "simlink/link_settings.h"

namespace qel {

// X-Plane's command for the binding slot key slotKey ("softkey_3", "hdg_incr") of a unit in
// role: its built-in G1000 of that display for pfd, mfd and copilot_pfd, its audio panel of that
// seat for pilot and copilot. Empty where X-Plane has no such command (the control keeps its
// key), for role None, and for a key of the other unit kind.
[[nodiscard]] std::string XPlanePresetCommand(UnitRole role, std::string_view slotKey);

}  // namespace qel
