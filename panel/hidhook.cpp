#include "panel/hidhook.h"

#include <string>
#include <utility>

namespace qel {
namespace {

constexpr std::array<std::string_view, kDeviceCount> kIdleCaptions{
    "QEL1000-0:", "QEL1000-1:", "QEL1000-2:", "QEL1000-3:", "QELAudio-0:", "QELAudio-1:"};
constexpr std::array<std::string_view, kDeviceCount> kConnectedCaptions{
    "QEL1000-0: Connected", "QEL1000-1: Connected",  "QEL1000-2: Connected",
    "QEL1000-3: Connected", "QELAudio-0: Connected", "QELAudio-1: Connected"};

}  // namespace

std::string_view IdleCaption(int deviceIndex) {
    return deviceIndex >= 0 && deviceIndex < kDeviceCount
               ? kIdleCaptions[static_cast<std::size_t>(deviceIndex)]
               : "";
}

std::string_view ConnectedCaption(int deviceIndex) {
    return deviceIndex >= 0 && deviceIndex < kDeviceCount
               ? kConnectedCaptions[static_cast<std::size_t>(deviceIndex)]
               : "";
}

HidHook::HidHook(TDeviceDM& device, DeviceStatusView& view, ReportSink decode)
    : Device(device), View(view), Decode(std::move(decode)) {}

void HidHook::HidMessageHook(const HidNotification& notification) {
    // Without a library no notification can come; one that does anyway is consumed unused.
    HidLibrary* hid = Device.Library();
    if (hid == nullptr) {
        return;
    }
    switch (notification.Event) {
        case HidEvent::Plugged:
            Plugged(*hid, notification.Handle);
            break;
        case HidEvent::Unplugged:
            Unplugged(*hid, notification.Handle);
            break;
        case HidEvent::Changed:
            Changed(*hid);
            break;
        case HidEvent::Read:
            ReadReport(*hid, notification.Handle, notification.Report);
            break;
    }
}

std::optional<int> HidHook::AcceptedUnit(HidLibrary& hid, HidHandle handle) const {
    if (hid.GetVendorID(handle) != kPanelVendorId) {
        return std::nullopt;
    }
    return DeviceIndexOf(hid.GetProductID(handle));
}

void HidHook::ShowCount() {
    View.SetConnectedText("Connected : " + std::to_string(ConnectedCount));
}

void HidHook::Plugged(HidLibrary& hid, HidHandle handle) {
    const std::optional<int> unit = AcceptedUnit(hid, handle);
    if (!unit) {
        return;
    }
    hid.SetReadNotify(handle, true);
    ++ConnectedCount;
    ShowCount();
    Device.Handles[static_cast<std::size_t>(*unit)].store(handle, std::memory_order_relaxed);
    View.SetUnitCaption(*unit, ConnectedCaption(*unit));
}

void HidHook::Unplugged(HidLibrary& hid, HidHandle handle) {
    // Handle 0 names no device: it would match every empty entry and drive the count negative.
    for (auto& entry : Device.Handles) {
        if (handle != 0 && entry.load(std::memory_order_relaxed) == handle) {
            entry.store(0, std::memory_order_relaxed);
            --ConnectedCount;
        }
    }
    ShowCount();
    // No vendor check here: the label follows the product ID alone.
    if (const std::optional<int> unit = DeviceIndexOf(hid.GetProductID(handle))) {
        View.SetUnitCaption(*unit, IdleCaption(*unit));
    }
}

void HidHook::Changed(HidLibrary& hid) {
    ConnectedCount = 0;
    // Device index i holds the unit of product ID 684 + i: bezel units first, then audio.
    for (int index = 0; index < kDeviceCount; ++index) {
        const HidHandle handle = hid.GetHandle(kPanelVendorId, kFirstBezelProductId + index);
        Device.Handles[static_cast<std::size_t>(index)].store(handle, std::memory_order_relaxed);
        if (handle != 0) {
            ++ConnectedCount;
            hid.SetReadNotify(handle, true);
        }
    }
    ShowCount();
}

void HidHook::ReadReport(HidLibrary& hid, HidHandle handle, const InputReport& report) {
    const std::optional<int> unit = AcceptedUnit(hid, handle);
    if (!unit) {
        return;
    }
    ++ReadCount;
    if (Decode) {
        Decode(kFirstBezelProductId + *unit, report);
    }
}

}  // namespace qel
