#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "hid/hidlibrary.h"

namespace qel {

// What mcHID.dll does around a HID back end: it announces the back end's notifications as bare
// window messages (event code and handle) and keeps each announced input report until Read
// collects it. Platform-free: the message goes out through a MessageSender.
//
// Thread rules are the back end's: Write from any number of threads, the other calls from one
// thread (the window's).
class WindowMessageLibrary {
public:
    // Posts (event, handle) to the window without waiting for it; false when the message could
    // not be posted (the window is gone, its queue is full). Runs on the back end's threads.
    using MessageSender = std::function<bool(HidEvent event, HidHandle handle)>;

    // Reports one device may have waiting for Read: about eight seconds of a unit answering
    // 30 commands a second, and six units stay far below the 10000 messages a Windows thread's
    // queue holds.
    static constexpr std::size_t kReportQueueCapacity = 256;

    explicit WindowMessageLibrary(std::shared_ptr<HidLibrary> backEnd,
                                  std::size_t reportQueueCapacity = kReportQueueCapacity);
    // Disconnects.
    ~WindowMessageLibrary();

    WindowMessageLibrary(const WindowMessageLibrary&) = delete;
    WindowMessageLibrary& operator=(const WindowMessageLibrary&) = delete;

    // Starts the back end; its notifications go to send from now on. False after an earlier
    // Connect or Disconnect: once per library, so a handle never names two devices.
    bool Connect(MessageSender send);
    // Stops the back end and lets go of it (a Write still under way keeps it until it returns),
    // and forgets every waiting report; nothing is sent once it returns. From then on every
    // call answers 0 or false.
    void Disconnect();

    // Copies the oldest waiting report of handle into buffer and forgets it. False, buffer
    // untouched, when none waits.
    bool Read(HidHandle handle, std::span<std::uint8_t, kReceiveBufferSize> buffer);
    bool Write(HidHandle handle, CommandReport report);

    [[nodiscard]] int GetVendorID(HidHandle handle);
    [[nodiscard]] int GetProductID(HidHandle handle);
    [[nodiscard]] HidHandle GetHandle(int vendorId, int productId);
    // False when the device is not connected.
    bool SetReadNotify(HidHandle handle, bool enabled);
    [[nodiscard]] bool IsReadNotifyEnabled(HidHandle handle) const;

    // The connected devices in order of arrival, as announced.
    [[nodiscard]] int ItemCount() const;
    [[nodiscard]] HidHandle Item(int index) const;
    [[nodiscard]] bool IsAvailable(HidHandle handle) const;

    // Reports dropped because their device had kReportQueueCapacity waiting, or because their
    // read message could not be posted.
    [[nodiscard]] std::uint64_t DroppedReports() const;

private:
    // The back end's poster: runs on its threads, one call at a time, in order.
    void Announce(const HidNotification& notification);
    // Null once disconnected.
    [[nodiscard]] std::shared_ptr<HidLibrary> CurrentBackEnd() const;

    const std::size_t ReportQueueCapacity;

    mutable std::mutex Mutex;  // guards everything below; never held while calling the back end
    std::shared_ptr<HidLibrary> BackEnd;
    bool ConnectedOnce = false;
    MessageSender Send;  // empty when not connected
    std::unordered_map<HidHandle, std::deque<InputReport>> Waiting;
    std::vector<HidHandle> Items;
    std::unordered_set<HidHandle> ReadNotify;
    std::uint64_t Dropped = 0;
};

}  // namespace qel
