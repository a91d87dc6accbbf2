#pragma once

#include <cstdint>

namespace qel {

// One key event into the system's keyboard input. Main thread only.
class KeyInjector {
public:
    virtual ~KeyInjector() = default;
    virtual void KeyEvent(std::uint8_t virtualKey, bool down) = 0;
};

}  // namespace qel
