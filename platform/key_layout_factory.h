#pragma once

#include <memory>

#include "translate/keylayout.h"

namespace qel {

// The keyboard layout key text is read and written with: on Windows the active layout
// (VkKeyScanA), so a one-character key names the key that types it there; elsewhere the built-in
// US English table, so key text reads the same on every machine. Never null.
[[nodiscard]] std::unique_ptr<KeyLayout> CreateKeyLayout();

}  // namespace qel
