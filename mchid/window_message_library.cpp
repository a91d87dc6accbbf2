#include "mchid/window_message_library.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace qel {

WindowMessageLibrary::WindowMessageLibrary(std::shared_ptr<HidLibrary> backEnd,
                                           std::size_t reportQueueCapacity)
    : ReportQueueCapacity(reportQueueCapacity), BackEnd(std::move(backEnd)) {
    assert(BackEnd && "a back end to announce");
    assert(ReportQueueCapacity > 0 && "a device must be able to have one report waiting");
}

WindowMessageLibrary::~WindowMessageLibrary() {
    Disconnect();
}

std::shared_ptr<HidLibrary> WindowMessageLibrary::CurrentBackEnd() const {
    std::lock_guard lock(Mutex);
    return BackEnd;
}

bool WindowMessageLibrary::Connect(MessageSender send) {
    std::shared_ptr<HidLibrary> backEnd;
    {
        std::lock_guard lock(Mutex);
        if (ConnectedOnce || !send) {  // Disconnect counts as a connection: no back end after it
            return false;
        }
        ConnectedOnce = true;
        Send = std::move(send);
        backEnd = BackEnd;
    }
    backEnd->Connect([this](const HidNotification& notification) { Announce(notification); });
    return true;
}

void WindowMessageLibrary::Disconnect() {
    std::shared_ptr<HidLibrary> stopping;
    {
        std::lock_guard lock(Mutex);
        ConnectedOnce = true;  // the back end does not start again
        stopping = std::move(BackEnd);
    }
    if (!stopping) {
        return;
    }
    // Outside the lock: its threads may be waiting for it to announce. They end first, so no
    // announcement races the clearing below.
    stopping->Disconnect();
    {
        std::lock_guard lock(Mutex);
        Send = nullptr;
        Waiting.clear();
        Items.clear();
        ReadNotify.clear();
    }
    // The back end goes now (or when a Write still under way lets go of it), on this thread:
    // never later from the DLL's unloading, where waiting for a thread of its own would hang.
    stopping.reset();
}

void WindowMessageLibrary::Announce(const HidNotification& notification) {
    const HidHandle handle = notification.Handle;
    std::lock_guard lock(Mutex);
    if (!Send) {
        return;
    }
    // Posting does not wait for the window, so holding the lock here costs nothing; the window's
    // Read takes the lock, so it never looks before the report is queued.
    const bool posted = Send(notification.Event, handle);
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
            if (!posted) {
                ++Dropped;  // no message would come to collect it
                break;
            }
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
    const std::shared_ptr<HidLibrary> backEnd = CurrentBackEnd();
    return backEnd && backEnd->Write(handle, report);
}

int WindowMessageLibrary::GetVendorID(HidHandle handle) {
    const std::shared_ptr<HidLibrary> backEnd = CurrentBackEnd();
    return backEnd ? backEnd->GetVendorID(handle) : 0;
}

int WindowMessageLibrary::GetProductID(HidHandle handle) {
    const std::shared_ptr<HidLibrary> backEnd = CurrentBackEnd();
    return backEnd ? backEnd->GetProductID(handle) : 0;
}

HidHandle WindowMessageLibrary::GetHandle(int vendorId, int productId) {
    const std::shared_ptr<HidLibrary> backEnd = CurrentBackEnd();
    return backEnd ? backEnd->GetHandle(vendorId, productId) : 0;
}

bool WindowMessageLibrary::SetReadNotify(HidHandle handle, bool enabled) {
    const std::shared_ptr<HidLibrary> backEnd = CurrentBackEnd();
    if (!backEnd || !IsAvailable(handle)) {
        return false;
    }
    // Outside the lock: the back end announces while holding its own lock.
    backEnd->SetReadNotify(handle, enabled);
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
