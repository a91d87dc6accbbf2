#include "panel/device_registry.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace qel {

HidDeviceRegistry::HidDeviceRegistry(std::size_t queueCapacity) : QueueCapacity(queueCapacity) {
    assert(queueCapacity > 0 && "a device must be able to queue at least one report");
}

void HidDeviceRegistry::StartPosting(NotificationPoster post) {
    std::lock_guard lock(Mutex);
    Post = std::move(post);
}

void HidDeviceRegistry::StopPosting() {
    std::lock_guard lock(Mutex);
    Post = nullptr;
}

void HidDeviceRegistry::RaiseLocked(HidEvent event, HidHandle handle) {
    if (Post) {
        Post(HidNotification{static_cast<int>(event), handle});
    }
}

HidHandle HidDeviceRegistry::Add(int vendorId, int productId, std::shared_ptr<OutputPort> port) {
    std::lock_guard lock(Mutex);
    const HidHandle handle = ++LastHandle;
    Identities[handle] = Identity{vendorId, productId};
    Devices[handle].Port = std::move(port);
    RaiseLocked(HidEvent::Plugged, handle);
    return handle;
}

bool HidDeviceRegistry::Remove(HidHandle handle) {
    std::shared_ptr<OutputPort> lastUse;  // released outside the lock: closing may take time
    {
        std::lock_guard lock(Mutex);
        const auto found = Devices.find(handle);
        if (found == Devices.end()) {
            return false;
        }
        lastUse = std::move(found->second.Port);
        Devices.erase(found);
        RaiseLocked(HidEvent::Unplugged, handle);
    }
    return true;
}

void HidDeviceRegistry::RaiseChanged() {
    std::lock_guard lock(Mutex);
    RaiseLocked(HidEvent::Changed, 0);
}

void HidDeviceRegistry::RemoveAllQuietly() {
    std::unordered_map<HidHandle, Connected> lastUse;  // ports close outside the lock
    std::lock_guard lock(Mutex);
    lastUse.swap(Devices);
}

void HidDeviceRegistry::PushReport(HidHandle handle, std::span<const std::uint8_t> report) {
    Report stored{};
    const std::size_t kept = std::min(report.size(), stored.size());
    std::copy_n(report.begin(), kept, stored.begin());

    std::lock_guard lock(Mutex);
    const auto found = Devices.find(handle);
    if (found == Devices.end() || !found->second.ReadNotify) {
        return;
    }
    auto& queue = found->second.Queue;
    if (queue.size() == QueueCapacity) {
        // The main thread is behind; the newest state matters more than an old one. The
        // oldest report's notification is already posted and will find the next report.
        queue.pop_front();
        ++Dropped;
    }
    queue.push_back(stored);
    RaiseLocked(HidEvent::Read, handle);
}

int HidDeviceRegistry::VendorId(HidHandle handle) const {
    std::lock_guard lock(Mutex);
    const auto found = Identities.find(handle);
    return found == Identities.end() ? 0 : found->second.VendorId;
}

int HidDeviceRegistry::ProductId(HidHandle handle) const {
    std::lock_guard lock(Mutex);
    const auto found = Identities.find(handle);
    return found == Identities.end() ? 0 : found->second.ProductId;
}

HidHandle HidDeviceRegistry::Find(int vendorId, int productId) const {
    std::lock_guard lock(Mutex);
    HidHandle earliest = 0;
    for (const auto& [handle, device] : Devices) {
        const Identity& ids = Identities.at(handle);
        if (ids.VendorId == vendorId && ids.ProductId == productId &&
            (earliest == 0 || handle < earliest)) {
            earliest = handle;
        }
    }
    return earliest;
}

bool HidDeviceRegistry::IsConnected(HidHandle handle) const {
    std::lock_guard lock(Mutex);
    return Devices.contains(handle);
}

void HidDeviceRegistry::SetReadNotify(HidHandle handle, bool enabled) {
    std::lock_guard lock(Mutex);
    const auto found = Devices.find(handle);
    if (found != Devices.end()) {
        found->second.ReadNotify = enabled;
    }
}

bool HidDeviceRegistry::Pop(HidHandle handle, InputReportBuffer buffer) {
    std::lock_guard lock(Mutex);
    const auto found = Devices.find(handle);
    if (found == Devices.end() || found->second.Queue.empty()) {
        return false;
    }
    auto& queue = found->second.Queue;
    std::copy(queue.front().begin(), queue.front().end(), buffer.begin());
    queue.pop_front();
    return true;
}

bool HidDeviceRegistry::Write(HidHandle handle, CommandReport report) {
    std::shared_ptr<OutputPort> port;
    {
        std::lock_guard lock(Mutex);
        const auto found = Devices.find(handle);
        if (found == Devices.end()) {
            return false;
        }
        port = found->second.Port;
    }
    // Outside the lock: a slow device must not hold up the other units or the main thread.
    return port && port->WriteReport(report);
}

std::uint64_t HidDeviceRegistry::DroppedReports() const {
    std::lock_guard lock(Mutex);
    return Dropped;
}

std::size_t HidDeviceRegistry::ConnectedDevices() const {
    std::lock_guard lock(Mutex);
    return Devices.size();
}

}  // namespace qel
