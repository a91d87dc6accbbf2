#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <span>
#include <unordered_map>

#include "panel/hidlibrary.h"

namespace qel {

// Where a device's output reports go. Implementations must be thread-safe; the registry keeps
// the port alive for as long as a Write is using it, so closing never races a Write.
class OutputPort {
public:
    virtual ~OutputPort() = default;
    virtual bool WriteReport(CommandReport report) = 0;
};

// The bookkeeping every HID back end shares: handles, identities, per-device bounded report
// queues, read notification flags, and raising notifications in order.
//
// Thread-safe. Notifications are posted while the registry's lock is held, so their order is
// the order of the calls that raised them, and each Read notification matches one queued report.
class HidDeviceRegistry {
public:
    static constexpr std::size_t kDefaultQueueCapacity = 256;

    explicit HidDeviceRegistry(std::size_t queueCapacity = kDefaultQueueCapacity);

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

    // One input report arrived (already in the read form, at most kInputReportSize bytes are
    // kept). Queued with one Read notification when read notify is on; otherwise dropped.
    // A full queue loses its oldest report.
    void PushReport(HidHandle handle, std::span<const std::uint8_t> report);

    [[nodiscard]] int VendorId(HidHandle handle) const;
    [[nodiscard]] int ProductId(HidHandle handle) const;
    [[nodiscard]] HidHandle Find(int vendorId, int productId) const;
    [[nodiscard]] bool IsConnected(HidHandle handle) const;
    void SetReadNotify(HidHandle handle, bool enabled);
    [[nodiscard]] bool Pop(HidHandle handle, InputReportBuffer buffer);
    bool Write(HidHandle handle, CommandReport report);

    // Reports lost because a device's queue was full.
    [[nodiscard]] std::uint64_t DroppedReports() const;
    [[nodiscard]] std::size_t ConnectedDevices() const;

private:
    using Report = std::array<std::uint8_t, kInputReportSize>;
    struct Identity {
        int VendorId = 0;
        int ProductId = 0;
    };
    struct Connected {
        std::shared_ptr<OutputPort> Port;
        std::deque<Report> Queue;
        bool ReadNotify = false;
    };

    void RaiseLocked(HidEvent event, HidHandle handle);

    mutable std::mutex Mutex;
    std::size_t QueueCapacity;
    NotificationPoster Post;
    HidHandle LastHandle = 0;
    // Kept for every handle ever given out: an Unplugged notification is handled after the
    // device has gone, and handles are never reused. A few bytes per arrival.
    std::unordered_map<HidHandle, Identity> Identities;
    // Handles grow monotonically, so the smallest connected handle is the earliest device.
    std::unordered_map<HidHandle, Connected> Devices;
    std::uint64_t Dropped = 0;
};

}  // namespace qel
