#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <unordered_map>

#include "hid/hidlibrary.h"

namespace qel {

// Where a device's output reports go. Implementations must be thread-safe; the registry keeps
// the port alive for as long as a Write is using it, so closing never races a Write.
class OutputPort {
public:
    virtual ~OutputPort() = default;
    virtual bool WriteReport(CommandReport report) = 0;
};

// The bookkeeping every HID back end shares: handles, identities, read notification flags,
// and raising notifications in order.
//
// Thread-safe. Notifications are posted while the registry's lock is held, so their order is
// the order of the calls that raised them.
class HidDeviceRegistry {
public:
    // Notifications go to post from now on.
    void StartPosting(NotificationPoster post);
    // No notification is raised after this returns.
    void StopPosting();

    // A device arrived: gives it a new handle and raises Plugged.
    HidHandle Add(int vendorId, int productId, std::shared_ptr<OutputPort> port);
    // The device has gone: drops its queue and port and raises Unplugged. False if the handle
    // was not connected (nothing raised). Its IDs stay known.
    bool Remove(HidHandle handle);
    // Raises Changed.
    void RaiseChanged();
    // Drops every connected device without raising anything (Disconnect).
    void RemoveAllQuietly();

    // One input report arrived, already in the read form (at most kReceiveBufferSize bytes are
    // kept). Raises Read with it when read notify is on; otherwise it is dropped.
    void PushReport(HidHandle handle, std::span<const std::uint8_t> report);

    [[nodiscard]] int VendorId(HidHandle handle) const;
    [[nodiscard]] int ProductId(HidHandle handle) const;
    [[nodiscard]] HidHandle Find(int vendorId, int productId) const;
    void SetReadNotify(HidHandle handle, bool enabled);
    bool Write(HidHandle handle, CommandReport report);

private:
    struct Identity {
        int VendorId = 0;
        int ProductId = 0;
    };
    struct Connected {
        std::shared_ptr<OutputPort> Port;
        bool ReadNotify = false;
    };

    void RaiseLocked(const HidNotification& notification);

    mutable std::mutex Mutex;
    NotificationPoster Post;
    HidHandle LastHandle = 0;
    // Kept for every handle ever given out: an Unplugged notification is handled after the
    // device has gone, and handles are never reused. A few bytes per arrival.
    std::unordered_map<HidHandle, Identity> Identities;
    // Handles grow monotonically, so the smallest connected handle is the earliest device.
    std::unordered_map<HidHandle, Connected> Devices;
};

}  // namespace qel
