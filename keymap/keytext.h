#pragma once

#include <string_view>

#include "translate/keycode.h"
#include "translate/keylayout.h"
#include "base/logsink.h"

namespace qel {

// Key text (e.g. "SHIFT+CTRL+F1") to a KeyCode. Tokens are split by '+' only; blanks belong
// to tokens. A one-character token is looked up in the layout as written (low byte kept);
// longer tokens match "shift", "ctrl", "alt", a key name, "F13"-"F24" or "VK_01"-"VK_FF"
// regardless of ASCII case; the last key token wins. Each unrecognised token (the empty one
// included) logs "Unknown key '<token>' found in config" and parsing goes on. Never fails: empty
// text gives 0 without a log line. The text ends at its first NUL, if any. Main thread only.
[[nodiscard]] KeyCode ParseKeyText(std::string_view text, const KeyLayout& layout, LogSink& log);

}  // namespace qel
