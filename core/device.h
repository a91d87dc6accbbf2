#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "hid/hidlibrary.h"
#include "translate/catalogue.h"
#include "translate/units.h"

namespace qel {

// The device module: owns the HID library, holds the device table, builds the command reports.
//
// Without a library (the back end could not start) it calls nothing: every Send is a no-op,
// Disconnect does nothing, and no notification ever arrives.
class TDeviceDM {
public:
    // Connects library (if any) with post, then clears the table. Main thread.
    TDeviceDM(std::unique_ptr<HidLibrary> library, NotificationPoster post);
    // Disconnects if not yet done. The worker threads must have stopped.
    ~TDeviceDM();

    TDeviceDM(const TDeviceDM&) = delete;
    TDeviceDM& operator=(const TDeviceDM&) = delete;

    // The device table: one handle per unit by device index, 0 = none. Written whole by the main
    // thread (the HID notification handling), read whole by the worker threads; relaxed is enough
    // since a thread needs only some recent value of one slot.
    std::array<std::atomic<std::uint32_t>, kDeviceCount> Handles{};

    // Any thread. Write the command report ('A'; 'B' + n for n = 0 or 1) to the unit's slot,
    // or nothing when the slot is empty or the id names no unit of the function's kind.
    void SendG1000A(UnitId unit);
    void SendG1000B(UnitId unit, int n);
    void SendAudioA(UnitId unit);
    void SendAudioB(UnitId unit);

    // Main thread; stop the worker threads first. Later calls do nothing.
    void Disconnect();

    // The library for the notification handling; null when it could not start.
    [[nodiscard]] HidLibrary* Library() const { return Hid.get(); }

private:
    // Writes to unit if it is of kind.
    void SendCommand(UnitKind kind, UnitId unit, char letter);

    std::unique_ptr<HidLibrary> Hid;
    std::atomic<bool> Connected{false};
};

// The command report: byte 0 report ID 0, byte 1 letter, the rest zero.
[[nodiscard]] std::array<std::uint8_t, kCommandReportSize> MakeCommandReport(char letter);

}  // namespace qel
