#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qel::test {

// One key event as a window received it.
struct ReceivedKey {
    bool Press;
    unsigned Keycode;
    unsigned long Typed;  // what the event types with its modifiers, as a program reads it
    unsigned State;       // modifier mask at the time of the event
};

// A mapped window of its own on a display, holding the keyboard focus, recording keys.
class TestWindow {
public:
    // Nothing when the display does not open or the window never gets the focus.
    [[nodiscard]] static std::unique_ptr<TestWindow> Open(const std::string& displayName);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    // Key events received until count have arrived or timeout has passed.
    [[nodiscard]] std::vector<ReceivedKey> WaitForKeys(std::size_t count,
                                                       std::chrono::milliseconds timeout);

    // The keysym the key types in the first group at the given level (0 plain, 1 shifted).
    [[nodiscard]] unsigned long KeysymAt(unsigned keycode, int level) const;

    // Locks or unlocks Num Lock on the display's keyboard, as its key would, and waits
    // until the server has done it. False when the keymap has no Num Lock.
    [[nodiscard]] bool LockNumLock(bool on);
    // Whether Num Lock is locked on the display's keyboard now.
    [[nodiscard]] bool NumLockLocked() const;

private:
    struct Connection;
    explicit TestWindow(std::unique_ptr<Connection> connection);
    std::unique_ptr<Connection> X;
};

}  // namespace qel::test
