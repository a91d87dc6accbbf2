#include "hid/device_registry.h"

#include <algorithm>
#include <utility>

namespace qel {

void HidDeviceRegistry::StartPosting(NotificationPoster post) {
    std::lock_guard lock(Mutex);
    Post = std::move(post);
}

void HidDeviceRegistry::StopPosting() {
    std::lock_guard lock(Mutex);
    Post = nullptr;
}

void HidDeviceRegistry::RaiseLocked(const HidNotification& notification) {
    if (Post) {
        Post(notification);
    }
}

HidHandle HidDeviceRegistry::Add(int vendorId, int productId, std::shared_ptr<OutputPort> port) {
    std::lock_guard lock(Mutex);
    const HidHandle handle = ++LastHandle;
    Identities[handle] = Identity{vendorId, productId};
    Devices[handle].Port = std::move(port);
    RaiseLocked({HidEvent::Plugged, handle});
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
        RaiseLocked({HidEvent::Unplugged, handle});
    }
    return true;
}

void HidDeviceRegistry::RaiseChanged() {
    std::lock_guard lock(Mutex);
    RaiseLocked({HidEvent::Changed, 0});
}

void HidDeviceRegistry::RemoveAllQuietly() {
    std::unordered_map<HidHandle, Connected> lastUse;  // ports close outside the lock
    std::lock_guard lock(Mutex);
    lastUse.swap(Devices);
}

void HidDeviceRegistry::PushReport(HidHandle handle, std::span<const std::uint8_t> report) {
    HidNotification read{HidEvent::Read, handle};
    std::copy_n(report.begin(), std::min(report.size(), read.Report.size()), read.Report.begin());

    std::lock_guard lock(Mutex);
    const auto found = Devices.find(handle);
    if (found != Devices.end() && found->second.ReadNotify) {
        RaiseLocked(read);
    }
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

void HidDeviceRegistry::SetReadNotify(HidHandle handle, bool enabled) {
    std::lock_guard lock(Mutex);
    const auto found = Devices.find(handle);
    if (found != Devices.end()) {
        found->second.ReadNotify = enabled;
    }
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

}  // namespace qel
