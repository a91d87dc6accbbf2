#pragma once

#include <cstdint>
#include <memory>

#include "platform/evdev_key_table.h"
#include "platform/unsent_key_log.h"
#include "translate/keyinjector.h"
#include "base/logsink.h"

namespace qel {

// The virtual keyboard as the injector drives it: the uinput device in the program, a
// recorder in tests.
class VirtualKeyboard {
public:
    virtual ~VirtualKeyboard() = default;
    // One input event; type, code and value as in struct input_event.
    virtual void Emit(std::uint16_t type, std::uint16_t code, std::int32_t value) = 0;
    // Whether the system last lit this keyboard's Num Lock light, which it does to
    // show its Num Lock state; unlit until it says otherwise.
    [[nodiscard]] virtual bool NumLockLit() = 0;
};

// Key events through a virtual keyboard: each event becomes one key event and a
// report, so the system sees it at once. The keypad digits and decimal point type
// those whatever the Num Lock state: when the keyboard's light says Num Lock is the
// other way, Num Lock is tapped before the key and again after it. Code 0 sends
// nothing; any other code without a key sends nothing and is logged once. Main thread
// only; log must outlive the injector.
class UinputInjector final : public KeyInjector {
public:
    UinputInjector(const EvdevKeyTable& keys, std::unique_ptr<VirtualKeyboard> device,
                   LogSink& log);
    void KeyEvent(std::uint8_t virtualKey, bool down) override;

private:
    void Key(std::uint16_t code, bool down);
    void TapNumLock();

    EvdevKeyTable Keys;
    std::unique_ptr<VirtualKeyboard> Device;
    UnsentKeyLog Unsent;
    std::uint8_t NumLockTappedFor = 0;  // the keypad key whose release taps Num Lock back
};

}  // namespace qel
