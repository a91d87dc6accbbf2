#include "mchid/window_message_library.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace qel {

WindowMessageLibrary::WindowMessageLibrary(std::unique_ptr<HidLibrary> backEnd,
                                           std::size_t reportQueueCapacity)
    : BackEnd(std::move(backEnd)), ReportQueueCapacity(reportQueueCapacity) {
    assert(BackEnd && "a back end to announce");
    assert(ReportQueueCapacity > 0 && "a device must be able to have one report waiting");
}

WindowMessageLibrary::~WindowMessageLibrary() {
    Disconnect();
}

bool WindowMessageLibrary::Connect(MessageSender send) {
    {
        std::lock_guard lock(Mutex);
        if (ConnectedOnce || !send) {
            return false;
        }
        ConnectedOnce = true;
        Send = std::move(send);
    }
    BackEnd->Connect([this](const HidNotification& notification) { Announce(notification); });
    return true;
}

void WindowMessageLibrary::Disconnect() {
    // The back end's threads end first, so no announcement races the clearing below.
    BackEnd->Disconnect();
    std::lock_guard lock(Mutex);
    ConnectedOnce = true;  // the back end does not start again
    Send = nullptr;
    Waiting.clear();
    Items.clear();
    ReadNotify.clear();
}

void WindowMessageLibrary::Announce(const HidNotification& notification) {
    const HidHandle handle = notification.Handle;
    std::lock_guard lock(Mutex);
    if (!Send) {
        return;
    }
    switch (notification.Event) {
        case HidEvent::Plugged:
            Items.push_back(handle);
            break;
        case HidEvent::Unplugged:
            // Reports already announced stay readable: their messages are still on their way.
            std::erase(Items, handle);
            ReadNotify.erase(handle);
            break;
        case HidEvent::Changed:
            break;
        case HidEvent::Read: {
            std::deque<InputReport>& waiting = Waiting[handle];
            if (waiting.size() == ReportQueueCapacity) {
                // Its message is still queued and will collect the next report instead.
                waiting.pop_front();
                ++Dropped;
            }
            waiting.push_back(notification.Report);
            break;
        }
    }
    // Posting does not wait for the window, so holding the lock here costs nothing and keeps
    // each report and its message together.
    if (!Send(notification.Event, handle) && notification.Event == HidEvent::Read) {
        // No message will come to collect it.
        std::deque<InputReport>& waiting = Waiting[handle];
        waiting.pop_back();
        if (waiting.empty()) {
            Waiting.erase(handle);
        }
        ++Dropped;
    }
}

bool WindowMessageLibrary::Read(HidHandle handle,
                                std::span<std::uint8_t, kReceiveBufferSize> buffer) {
    std::lock_guard lock(Mutex);
    const auto found = Waiting.find(handle);
    if (found == Waiting.end()) {
        return false;
    }
    std::ranges::copy(found->second.front(), buffer.begin());
    found->second.pop_front();
    if (found->second.empty()) {
        Waiting.erase(found);
    }
    return true;
}

bool WindowMessageLibrary::Write(HidHandle handle, CommandReport report) {
    return BackEnd->Write(handle, report);
}

int WindowMessageLibrary::GetVendorID(HidHandle handle) {
    return BackEnd->GetVendorID(handle);
}

int WindowMessageLibrary::GetProductID(HidHandle handle) {
    return BackEnd->GetProductID(handle);
}

HidHandle WindowMessageLibrary::GetHandle(int vendorId, int productId) {
    return BackEnd->GetHandle(vendorId, productId);
}

bool WindowMessageLibrary::SetReadNotify(HidHandle handle, bool enabled) {
    if (!IsAvailable(handle)) {
        return false;
    }
    // Outside the lock: the back end announces while holding its own lock.
    BackEnd->SetReadNotify(handle, enabled);
    std::lock_guard lock(Mutex);
    const bool stillThere = std::ranges::find(Items, handle) != Items.end();
    if (enabled && stillThere) {
        ReadNotify.insert(handle);
    } else {
        ReadNotify.erase(handle);
    }
    return stillThere;
}

bool WindowMessageLibrary::IsReadNotifyEnabled(HidHandle handle) const {
    std::lock_guard lock(Mutex);
    return ReadNotify.contains(handle);
}

int WindowMessageLibrary::ItemCount() const {
    std::lock_guard lock(Mutex);
    return static_cast<int>(Items.size());
}

HidHandle WindowMessageLibrary::Item(int index) const {
    std::lock_guard lock(Mutex);
    if (index < 0 || static_cast<std::size_t>(index) >= Items.size()) {
        return 0;
    }
    return Items[static_cast<std::size_t>(index)];
}

bool WindowMessageLibrary::IsAvailable(HidHandle handle) const {
    std::lock_guard lock(Mutex);
    return std::ranges::find(Items, handle) != Items.end();
}

std::uint64_t WindowMessageLibrary::DroppedReports() const {
    std::lock_guard lock(Mutex);
    return Dropped;
}

}  // namespace qel
