#pragma once

#include <cstdint>

#include "translate/keyinjector.h"

namespace qel {

// Stands in when no back end can reach the keyboard input: sends nothing. Whoever
// chooses it says why in the log, once.
class UnavailableInjector final : public KeyInjector {
public:
    void KeyEvent(std::uint8_t /*virtualKey*/, bool /*down*/) override {}
};

}  // namespace qel
