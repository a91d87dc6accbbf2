#pragma once

#include <cstdint>
#include <vector>

#include "translate/keyinjector.h"

namespace qel::test {

struct KeyEventRecord {
    std::uint8_t VirtualKey;
    bool Down;
    bool operator==(const KeyEventRecord&) const = default;
};

// Keeps every key event it is given, in order.
class RecordingInjector final : public KeyInjector {
public:
    void KeyEvent(std::uint8_t virtualKey, bool down) override {
        Events.push_back({virtualKey, down});
    }
    std::vector<KeyEventRecord> Events;
};

inline KeyEventRecord Down(std::uint8_t vk) {
    return {vk, true};
}
inline KeyEventRecord Up(std::uint8_t vk) {
    return {vk, false};
}

}  // namespace qel::test
