#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "translate/catalogue.h"
#include "translate/report.h"

namespace qel {

// A device handle of the library: non-zero while it names a device, 0 = none.
using HidHandle = std::uint32_t;

// What a HID notification announces.
enum class HidEvent : std::uint8_t { Plugged = 1, Unplugged = 2, Changed = 3, Read = 4 };

// One input report as read: byte 0 report ID, byte 1 report type, payload from byte 2,
// unused bytes zero. The receive buffer the decoder reads.
using InputReport = std::array<std::uint8_t, kReceiveBufferSize>;

// One HID notification: the event, the device handle (0 for Changed) and, for Read, the
// report itself, so the handling never goes back to the library for it.
struct HidNotification {
    HidEvent Event = HidEvent::Changed;
    HidHandle Handle = 0;
    InputReport Report{};
    bool operator==(const HidNotification&) const = default;
};

// Hands one notification to the main thread's queue. The library calls it from its own threads
// (never from inside Connect); it must only queue, never run the handling inline nor call back
// into the library. Notifications must be handled one at a time, in the order of the calls.
using NotificationPoster = std::function<void(const HidNotification&)>;

// The output buffer Write sends: byte 0 report ID (0), byte 1 command letter, bytes 2-11 zero.
inline constexpr std::size_t kCommandReportSize = 12;
using CommandReport = std::span<const std::uint8_t, kCommandReportSize>;

// The HID calls the program makes, and the notifications the library raises.
//
// Guarantees every back end keeps:
// - After Connect, every panel already present raises Plugged, then one Changed; later each
//   arrival raises Plugged then Changed, each removal Unplugged then Changed.
// - Handles are never reused within a run.
// - GetVendorID / GetProductID keep answering for a handle after its device has gone, so an
//   Unplugged notification can still be attributed to its unit.
// - Write is thread-safe and may run on any number of threads while the main thread makes the
//   other calls; a Write to a device that has gone (or to 0) fails quietly.
// - Nothing here blocks the calling thread on a device.
// All calls but Write are made on the main thread.
class HidLibrary {
public:
    virtual ~HidLibrary() = default;

    // Starts raising notifications through post. Called once.
    virtual void Connect(NotificationPoster post) = 0;
    // Stops every back-end thread and closes every device; no notification is raised after it.
    virtual void Disconnect() = 0;

    // The USB IDs of a device handle; 0 for a handle the library never gave out.
    [[nodiscard]] virtual int GetVendorID(HidHandle handle) = 0;
    [[nodiscard]] virtual int GetProductID(HidHandle handle) = 0;
    // The connected device with these IDs (the earliest connected if several), 0 if none.
    [[nodiscard]] virtual HidHandle GetHandle(int vendorId, int productId) = 0;

    // With true, each later input report of the device raises one Read notification carrying
    // it; reports that arrive while it is off are not kept.
    virtual void SetReadNotify(HidHandle handle, bool enabled) = 0;

    // Sends report to the device as an output report. Any thread. False when the device has
    // gone or the write failed.
    virtual bool Write(HidHandle handle, CommandReport report) = 0;
};

}  // namespace qel
