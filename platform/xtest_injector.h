#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/unsent_key_log.h"
#include "platform/vk_mapping.h"
#include "translate/keyinjector.h"
#include "base/logsink.h"

struct _XDisplay;  // Xlib's Display, kept out of this header

namespace qel {

// Key events through the X server's XTest extension, each flushed at once so none is
// delayed. Letters and digits take the key that types them in the server's current
// keymap; other keys keep their position. The keypad digits and decimal point type
// those whatever the Num Lock state: Num Lock is set for the key and put back after
// it. Code 0 sends nothing; any other code without a key sends nothing and is logged
// once; the keyboard mapping is never changed. Main thread only; log must outlive
// the injector.
class XTestInjector final : public KeyInjector {
public:
    // Connects to displayName (empty: $DISPLAY). Null when no display opens or it
    // lacks XTest.
    [[nodiscard]] static std::unique_ptr<XTestInjector> Open(LogSink& log,
                                                             const std::string& displayName = {});

    ~XTestInjector() override;
    XTestInjector(const XTestInjector&) = delete;
    XTestInjector& operator=(const XTestInjector&) = delete;

    void KeyEvent(std::uint8_t virtualKey, bool down) override;

private:
    // Num Lock as it was before a keypad key changed it, to be put back on its release.
    struct NumLockHold {
        std::uint8_t VirtualKey;
        unsigned Mask;    // the real modifier Num Lock locks
        unsigned Locked;  // Mask's bits as they were locked
    };

    XTestInjector(_XDisplay* connection, LogSink& log);
    void FollowKeymapChanges();
    void SetNumLockFor(std::uint8_t virtualKey, KeypadLevel level);
    void RestoreNumLockAfter(std::uint8_t virtualKey);

    _XDisplay* Connection;
    bool EvdevKeycodes = false;
    int MinKeycode = 0;
    int MaxKeycode = 0;
    std::optional<NumLockHold> HeldNumLock;
    UnsentKeyLog Unsent;
};

}  // namespace qel
