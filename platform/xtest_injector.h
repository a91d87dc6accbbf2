#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/unsent_key_log.h"
#include "translate/keyinjector.h"
#include "translate/logsink.h"

struct _XDisplay;  // Xlib's Display, kept out of this header

namespace qel {

// Key events through the X server's XTest extension, each flushed at once so none is
// delayed. Letters and digits take the key that types them in the server's current
// keymap; other keys keep their position. Code 0 sends nothing; any other code
// without a key sends nothing and is logged once; the keyboard mapping is never
// changed. Main thread only; log must outlive the injector.
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
    XTestInjector(_XDisplay* connection, LogSink& log);
    void FollowKeymapChanges();

    _XDisplay* Connection;
    bool EvdevKeycodes = false;
    int MinKeycode = 0;
    int MaxKeycode = 0;
    UnsentKeyLog Unsent;
};

}  // namespace qel
