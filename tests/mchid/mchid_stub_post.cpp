// The messages the whole stub mcHID.dll posts from Connect, and after Disconnect.
#include <windows.h>

#include <cstdint>

#include "hid/mchid_abi.h"

namespace {

void* ConnectedWindow = nullptr;

[[maybe_unused]] void Post(WPARAM event, std::uint32_t handle) {
    PostMessageA(static_cast<HWND>(ConnectedWindow), MCHID_MESSAGE, event,
                 static_cast<LPARAM>(handle));
}

}  // namespace

// From Connect (window given): a read event whose Read fails, an unknown event code, a read
// event with a report, a plugged event with the highest handle, event code 0, a changed event
// with a handle. From Disconnect (window null): one more read event, which must go nowhere.
void PostStubMessages(void* window) {
#ifndef QEL_STUB_WITHOUT_ISAVAILABLE
    if (window == nullptr) {
        Post(MCHID_EVENT_READ, 8);
        return;
    }
    ConnectedWindow = window;
    Post(MCHID_EVENT_READ, 7);
    Post(9, 1);
    Post(MCHID_EVENT_READ, 8);
    Post(MCHID_EVENT_PLUGGED, 0xFFFFFFFFu);
    Post(0, 1);
    Post(MCHID_EVENT_CHANGED, 5);
#else
    static_cast<void>(window);
#endif
}
