#include <windows.h>

#include "platform/key_injector_factory.h"

namespace qel {
namespace {

// Every event carries scan code 1; the virtual-key code alone names the key, and the
// events follow each other with no delay.
constexpr BYTE kScanCode = 1;

class Win32Injector final : public KeyInjector {
public:
    void KeyEvent(std::uint8_t virtualKey, bool down) override {
        // keybd_event reports nothing; there is nothing to check.
        keybd_event(virtualKey, kScanCode, down ? 0 : KEYEVENTF_KEYUP, 0);
    }
};

}  // namespace

// Windows has one back end and it is always there.
std::unique_ptr<KeyInjector> CreateKeyInjector(LogSink& /*log*/,
                                               const KeyInjectorSources& /*sources*/) {
    return std::make_unique<Win32Injector>();
}

}  // namespace qel
