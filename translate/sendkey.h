#pragma once

#include "translate/keycode.h"
#include "translate/keyinjector.h"

namespace qel {

// Main thread only. On a press of a bound code: modifiers down (Shift, Ctrl, Alt), key
// down, key up, modifiers up in the same order. A release or code 0 sends nothing.
// Bits above Alt are ignored.
void SendKey(KeyInjector& injector, KeyCode code, bool pressed);

}  // namespace qel
