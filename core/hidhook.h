#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "core/device.h"
#include "hid/hidlibrary.h"
#include "translate/report.h"
#include "translate/units.h"

namespace qel {

// What the notification handling shows; the main window implements it. Main thread only.
class DeviceStatusView {
public:
    virtual ~DeviceStatusView() = default;
    // The status label of a unit (the unit table's captions).
    virtual void SetUnitCaption(UnitId unit, std::string_view caption) = 0;
    // Status panel 0: "Connected : " + the connected count.
    virtual void SetConnectedText(std::string_view text) = 0;
};

// Where each input report of an accepted unit goes: InputTranslator::DecodeReport in the program.
using ReportSink = std::function<void(UnitId unit, ReceiveBuffer buffer)>;

// The handling of HID notifications: keeps the device table and the connected count, shows
// each unit's connection and the count, switches read notification on for accepted units, and
// passes their input reports to the decoder. Main thread only; borrows everything it is given.
class HidHook {
public:
    HidHook(TDeviceDM& device, DeviceStatusView& view, ReportSink decode);

    // One HID notification, in the order the library raised it.
    void HidMessageHook(const HidNotification& notification);

    // Never below the number of filled slots, never negative.
    int ConnectedCount = 0;
    // Input reports of accepted units, all decoded.
    int ReadCount = 0;

private:
    // The unit of an accepted handle (vendor 0x0D59, product 684-689); nothing else.
    [[nodiscard]] std::optional<UnitId> AcceptedUnit(HidLibrary& hid, HidHandle handle) const;
    void Plugged(HidLibrary& hid, HidHandle handle);
    void Unplugged(HidLibrary& hid, HidHandle handle);
    void Changed(HidLibrary& hid);
    void ReadReport(HidLibrary& hid, HidHandle handle, const InputReport& report);
    void ShowCount();

    TDeviceDM& Device;
    DeviceStatusView& View;
    ReportSink Decode;
};

}  // namespace qel
