#pragma once

#include <cstdint>
#include <map>
#include <optional>

#include "platform/xkb_layout_setting.h"

namespace qel {

// Keysym -> the Linux key code (X key code minus 8) of the lowest key that types it
// without modifiers in the layout's first group.
using UnshiftedKeys = std::map<std::uint32_t, std::uint16_t>;

// Compiles the layout from the system's XKB data (rules "evdev", model "pc105"); needs
// no display and ignores the XKB_DEFAULT_* variables. Nothing when the layout or the
// XKB data cannot be found.
[[nodiscard]] std::optional<UnshiftedKeys> XkbUnshiftedKeys(const XkbLayoutName& name);

}  // namespace qel
