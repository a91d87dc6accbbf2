#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

#include "panel/device.h"
#include "panel/hidlibrary.h"
#include "translate/translator.h"

namespace qel {

// What the notification handling shows; the main window implements it. Main thread only.
class DeviceStatusView {
public:
    virtual ~DeviceStatusView() = default;
    // The status label of device index 0-5 ("QEL1000-0:" ... "QELAudio-1: Connected").
    virtual void SetUnitCaption(int deviceIndex, std::string_view caption) = 0;
    // Status panel 0: "Connected : " + the connected count.
    virtual void SetConnectedText(std::string_view text) = 0;
};

// Where each input report of an accepted unit goes: InputTranslator::DecodeReport in the program.
using ReportSink = std::function<void(int productId, ReceiveBuffer buffer)>;

// The idle and connected captions of a device index's status label.
[[nodiscard]] std::string_view IdleCaption(int deviceIndex);
[[nodiscard]] std::string_view ConnectedCaption(int deviceIndex);

// The handling of HID notifications: keeps the device table and the connected count, shows
// each unit's connection and the count, switches read notification on for accepted units, and
// passes their input reports to the decoder. Main thread only; borrows everything it is given.
class HidHook {
public:
    HidHook(TDeviceDM& device, DeviceStatusView& view, ReportSink decode);

    // One window message. True when it is a HID notification (message kHidMessage with event
    // code 1-4) and so handled here; anything else is left to its normal course.
    bool HidMessageHook(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

    // Never below the number of filled slots, never negative.
    int ConnectedCount = 0;
    // Input reports read and decoded.
    int ReadCount = 0;
    // Where Read puts each report before it is decoded.
    std::array<std::uint8_t, kReceiveBufferSize> ReceiveBuffer{};

private:
    [[nodiscard]] bool Accepted(HidLibrary& hid, HidHandle handle) const;
    void Plugged(HidLibrary& hid, HidHandle handle);
    void Unplugged(HidLibrary& hid, HidHandle handle);
    void Changed(HidLibrary& hid);
    void ReadReport(HidLibrary& hid, HidHandle handle);
    void ShowCount();

    TDeviceDM& Device;
    DeviceStatusView& View;
    ReportSink Decode;
};

// The device index of a panel product ID (684-689), -1 for any other.
[[nodiscard]] int DeviceIndexOfProduct(int productId);

}  // namespace qel
