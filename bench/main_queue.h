#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>

#include "hid/notification_queue.h"

namespace qel::bench {

// The program's notification queue with the event loop's part played by a condition variable:
// the queue's wake-up ends the wait, and the waiting notifications are handled in one drain.
// Remembers how many notifications were ever waiting at once.
class MainQueue {
public:
    MainQueue() : Queue([this] { Wake(); }) {}

    NotificationPoster Poster() {
        return [this](const HidNotification& notification) {
            {
                std::lock_guard lock(Mutex);
                ++Waiting;
                HighWater = std::max(HighWater, Waiting);
            }
            Queue.Post(notification);
        };
    }

    // Waits briefly for a wake-up, then hands everything waiting to handle, in order.
    void HandleWith(const std::function<void(const HidNotification&)>& handle) {
        {
            std::unique_lock lock(Mutex);
            Ready.wait_for(lock, std::chrono::milliseconds(5), [this] { return Woken; });
            Woken = false;
        }
        const std::size_t handled = Queue.Drain(handle);
        std::lock_guard lock(Mutex);
        Waiting -= std::min(Waiting, handled);
    }

    [[nodiscard]] std::size_t HighWaterMark() {
        std::lock_guard lock(Mutex);
        return HighWater;
    }
    [[nodiscard]] std::uint64_t DroppedReports() const { return Queue.DroppedReports(); }

private:
    void Wake() {
        {
            std::lock_guard lock(Mutex);
            Woken = true;
        }
        Ready.notify_one();
    }

    HidNotificationQueue Queue;
    std::mutex Mutex;
    std::condition_variable Ready;
    bool Woken = false;
    std::size_t Waiting = 0;
    std::size_t HighWater = 0;
};

}  // namespace qel::bench
