#include "platform/uinput_injector.h"

#include <linux/input-event-codes.h>

#include <cassert>
#include <utility>

#include "platform/vk_mapping.h"

namespace qel {

UinputInjector::UinputInjector(const EvdevKeyTable& keys, std::unique_ptr<VirtualKeyboard> device,
                               LogSink& log)
    : Keys(keys), Device(std::move(device)), Unsent(log) {
    assert(Device && "the injector needs a device to write to");
}

void UinputInjector::Key(std::uint16_t code, bool down) {
    Device->Emit(EV_KEY, code, down ? 1 : 0);
    // Readers pass events on only at a report; one per event keeps each immediate.
    Device->Emit(EV_SYN, SYN_REPORT, 0);
}

void UinputInjector::TapNumLock() {
    Key(KEY_NUMLOCK, true);
    Key(KEY_NUMLOCK, false);
}

void UinputInjector::KeyEvent(std::uint8_t virtualKey, bool down) {
    // Code 0 stands between the modifiers of a binding that has no key of its own.
    if (virtualKey == 0) return;
    const std::uint16_t code = Keys[virtualKey];
    if (code == 0) {
        Unsent.Report(virtualKey, "no key on the virtual keyboard for it");
        return;
    }
    const VkKeyMapping* mapping = FindVkKeyMapping(virtualKey);
    const KeypadLevel level = mapping ? mapping->Keypad : KeypadLevel::Fixed;
    if (!down) {
        Key(code, false);
        if (NumLockTappedFor == virtualKey) {
            TapNumLock();
            NumLockTappedFor = 0;
        }
        return;
    }
    // The light is all the system tells this keyboard of Num Lock. The taps come in
    // pairs, so a light read while earlier ones are on their way costs one key its
    // level at worst and never leaves Num Lock changed.
    if (level != KeypadLevel::Fixed && NumLockTappedFor == 0) {
        if (Device->NumLockLit() != (level == KeypadLevel::Number)) {
            TapNumLock();
            NumLockTappedFor = virtualKey;
        }
    }
    Key(code, true);
}

}  // namespace qel
