#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <unordered_map>

#include "hid/hidlibrary.h"

namespace qel {

// The main thread's queue of HID notifications: the library's threads post, the main thread
// drains, one notification at a time in the order they were posted.
//
// Read notifications are bounded per device: when the main thread is this many reports of one
// device behind, that device's oldest waiting report is dropped (its newest state matters
// more) and counted. Plugged, Unplugged and Changed are never dropped.
class HidNotificationQueue {
public:
    static constexpr std::size_t kDefaultReadCapacity = 256;

    // wake runs on the posting thread whenever the queue turns non-empty; it must only arrange
    // for Drain to run on the main thread, and must not call back into the queue.
    explicit HidNotificationQueue(std::function<void()> wake,
                                  std::size_t readCapacity = kDefaultReadCapacity);

    HidNotificationQueue(const HidNotificationQueue&) = delete;
    HidNotificationQueue& operator=(const HidNotificationQueue&) = delete;

    // Any thread.
    void Post(const HidNotification& notification);
    // A poster for the library that posts here; the queue must outlive the library's posting.
    [[nodiscard]] NotificationPoster Poster();

    // Main thread. Hands everything queued so far to handle, oldest first; notifications posted
    // meanwhile wait for the next Drain (and wake again). Returns how many were handed over.
    std::size_t Drain(const std::function<void(const HidNotification&)>& handle);

    // Read notifications dropped because their device's reports were not drained in time.
    [[nodiscard]] std::uint64_t DroppedReports() const;

private:
    struct Entry {
        HidNotification Notification;
        bool Dropped = false;
    };

    std::function<void()> Wake;
    const std::size_t ReadCapacity;
    mutable std::mutex Mutex;
    std::deque<Entry> Pending;
    // Sequence number of Pending.front(): entries are numbered as they are posted.
    std::uint64_t FrontSequence = 0;
    // Per device, the sequence numbers of its waiting reports, oldest first.
    std::unordered_map<HidHandle, std::deque<std::uint64_t>> WaitingReads;
    std::uint64_t Dropped = 0;
};

}  // namespace qel
