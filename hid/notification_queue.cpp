#include "hid/notification_queue.h"

#include <cassert>
#include <utility>

namespace qel {

HidNotificationQueue::HidNotificationQueue(std::function<void()> wake, std::size_t readCapacity)
    : Wake(std::move(wake)), ReadCapacity(readCapacity) {
    assert(ReadCapacity > 0 && "a device must be able to have one report waiting");
}

void HidNotificationQueue::Post(const HidNotification& notification) {
    bool wasEmpty = false;
    {
        std::lock_guard lock(Mutex);
        wasEmpty = Pending.empty();
        if (notification.Event == HidEvent::Read) {
            std::deque<std::uint64_t>& waiting = WaitingReads[notification.Handle];
            if (waiting.size() == ReadCapacity) {
                Pending[waiting.front() - FrontSequence].Dropped = true;
                waiting.pop_front();
                ++Dropped;
            }
            waiting.push_back(FrontSequence + Pending.size());
        }
        Pending.push_back({notification});
    }
    // Outside the lock: waking may take the event loop's own lock.
    if (wasEmpty && Wake) {
        Wake();
    }
}

NotificationPoster HidNotificationQueue::Poster() {
    return [this](const HidNotification& notification) { Post(notification); };
}

std::size_t HidNotificationQueue::Drain(const std::function<void(const HidNotification&)>& handle) {
    std::deque<Entry> taken;
    {
        std::lock_guard lock(Mutex);
        taken.swap(Pending);
        FrontSequence += taken.size();
        WaitingReads.clear();
    }
    std::size_t handed = 0;
    for (const Entry& entry : taken) {
        if (!entry.Dropped) {
            handle(entry.Notification);
            ++handed;
        }
    }
    return handed;
}

std::uint64_t HidNotificationQueue::DroppedReports() const {
    std::lock_guard lock(Mutex);
    return Dropped;
}

}  // namespace qel
