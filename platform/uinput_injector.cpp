#include "platform/uinput_injector.h"

#include <linux/input-event-codes.h>

#include <cassert>
#include <utility>

namespace qel {

UinputInjector::UinputInjector(const EvdevKeyTable& keys, std::unique_ptr<EvdevEventSink> device,
                               LogSink& log)
    : Keys(keys), Device(std::move(device)), Unsent(log) {
    assert(Device && "the injector needs a device to write to");
}

void UinputInjector::KeyEvent(std::uint8_t virtualKey, bool down) {
    // Code 0 stands between the modifiers of a binding that has no key of its own.
    if (virtualKey == 0) return;
    const std::uint16_t code = Keys[virtualKey];
    if (code == 0) {
        Unsent.Report(virtualKey, "no key on the virtual keyboard for it");
        return;
    }
    Device->Emit(EV_KEY, code, down ? 1 : 0);
    // Readers pass events on only at a report; one per event keeps each immediate.
    Device->Emit(EV_SYN, SYN_REPORT, 0);
}

}  // namespace qel
