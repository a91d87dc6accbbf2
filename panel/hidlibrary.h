#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace qel {

// The window message number that carries a HID notification.
inline constexpr unsigned kHidMessage = 32968;  // 0x80C8

// The vendor of every panel.
inline constexpr int kPanelVendorId = 0x0D59;  // 3417

// A device handle of the library: non-zero while it names a device, 0 = none.
using HidHandle = std::uint32_t;

// Event codes of a HID notification (its WParam).
enum class HidEvent : int { Plugged = 1, Unplugged = 2, Changed = 3, Read = 4 };

// One HID notification: the event code (1..4) and the device handle (LParam; not meaningful
// for Changed).
struct HidNotification {
    int EventCode = 0;
    HidHandle Handle = 0;
    bool operator==(const HidNotification&) const = default;
};

// Hands one notification to the main thread's queue. The library calls it from its own threads
// (never from inside Connect); it must only queue, never run the handling inline nor call back
// into the library. Notifications must be handled one at a time, in the order of the calls.
using NotificationPoster = std::function<void(const HidNotification&)>;

// The input buffer Read fills: byte 0 report ID, byte 1 report type, payload from byte 2.
inline constexpr std::size_t kInputReportSize = 128;
// The output buffer Write sends: byte 0 report ID (0), byte 1 command letter, bytes 2-11 zero.
inline constexpr std::size_t kCommandReportSize = 12;

using InputReportBuffer = std::span<std::uint8_t, kInputReportSize>;
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

    // With true, each later input report of the device raises one Read notification; reports
    // that arrive while it is off are not kept.
    virtual void SetReadNotify(HidHandle handle, bool enabled) = 0;

    // Takes the device's oldest announced report into buffer (unused bytes zero). False when
    // there is none (the device has gone, or the report was dropped from a full queue); the
    // buffer is then left untouched.
    [[nodiscard]] virtual bool Read(HidHandle handle, InputReportBuffer buffer) = 0;

    // Sends report to the device as an output report. Any thread. False when the device has
    // gone or the write failed.
    virtual bool Write(HidHandle handle, CommandReport report) = 0;
};

}  // namespace qel
