#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "base/result.h"

namespace qel {

// An arrival or removal of a HID device interface, as Windows announces it.
struct DeviceInterfaceChange {
    bool Arrived = false;  // false: removed
    std::string Path;      // as DevicePathKey gives it
};

// A device interface path in the one form both hidapi's enumeration and Windows' arrival and
// removal messages can be matched in: ASCII letters in lower case (Windows compares these paths
// without regard to case, and the two sources do not agree on it).
[[nodiscard]] std::string DevicePathKey(std::string_view path);

// Arrivals and removals of HID device interfaces: RegisterDeviceNotification on a message-only
// window owned by the watch's own thread, which does nothing but pump that window's messages.
// Wait and Wake from any thread.
class Win32DeviceWatch {
public:
    // Starts the thread and returns once its window is registered (or could not be).
    Win32DeviceWatch();
    // Closes the window and ends the thread.
    ~Win32DeviceWatch();

    Win32DeviceWatch(const Win32DeviceWatch&) = delete;
    Win32DeviceWatch& operator=(const Win32DeviceWatch&) = delete;

    // Whether it watches; if not, why no changes will be announced, naming the call that failed.
    [[nodiscard]] Status Watching() const;

    // Waits up to timeout for the next change, oldest first; empty on timeout or after Wake.
    [[nodiscard]] std::optional<DeviceInterfaceChange> Wait(std::chrono::milliseconds timeout);
    // Makes a pending or the next Wait return at once.
    void Wake();

private:
    struct Window;
    void ThreadMain();
    void Push(DeviceInterfaceChange change);

    mutable std::mutex Mutex;  // guards everything below
    std::condition_variable Changed;
    bool Started = false;
    bool Woken = false;
    Status StartProblem;
    std::deque<DeviceInterfaceChange> Pending;
    void* WindowHandle = nullptr;  // the HWND, for closing it from another thread

    std::thread Thread;
};

}  // namespace qel
