#pragma once

#include <cstdint>
#include <memory>

#include "platform/evdev_key_table.h"
#include "platform/unsent_key_log.h"
#include "translate/keyinjector.h"
#include "translate/logsink.h"

namespace qel {

// Where the virtual keyboard's input events go: the uinput device in the program, a
// recorder in tests. type, code and value as in struct input_event.
class EvdevEventSink {
public:
    virtual ~EvdevEventSink() = default;
    virtual void Emit(std::uint16_t type, std::uint16_t code, std::int32_t value) = 0;
};

// Key events through a virtual keyboard: each event becomes one key event and a
// report, so the system sees it at once. Code 0 sends nothing; any other code without
// a key sends nothing and is logged once. Main thread only; log must outlive the
// injector.
class UinputInjector final : public KeyInjector {
public:
    UinputInjector(const EvdevKeyTable& keys, std::unique_ptr<EvdevEventSink> device, LogSink& log);
    void KeyEvent(std::uint8_t virtualKey, bool down) override;

private:
    EvdevKeyTable Keys;
    std::unique_ptr<EvdevEventSink> Device;
    UnsentKeyLog Unsent;
};

}  // namespace qel
