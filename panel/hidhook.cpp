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

int DeviceIndexOfProduct(int productId) {
    if (productId < kFirstBezelProductId || productId > kLastPanelProductId) {
        return -1;
    }
    return productId - kFirstBezelProductId;  // 688, 689 land on slots 4, 5
}

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

bool HidHook::HidMessageHook(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (message != kHidMessage || wParam < 1 || wParam > 4) {
        return false;
    }
    // Without a library no notification can come; one that does anyway is consumed unused.
    HidLibrary* hid = Device.Library();
    if (hid == nullptr) {
        return true;
    }
    // The handle is a 32-bit value carried in a wider parameter.
    const auto handle = static_cast<HidHandle>(static_cast<std::uintptr_t>(lParam));
    switch (static_cast<HidEvent>(wParam)) {
        case HidEvent::Plugged:
            Plugged(*hid, handle);
            break;
        case HidEvent::Unplugged:
            Unplugged(*hid, handle);
            break;
        case HidEvent::Changed:
            Changed(*hid);
            break;
        case HidEvent::Read:
            ReadReport(*hid, handle);
            break;
    }
    return true;
}

bool HidHook::Accepted(HidLibrary& hid, HidHandle handle) const {
    return hid.GetVendorID(handle) == kPanelVendorId &&
           DeviceIndexOfProduct(hid.GetProductID(handle)) >= 0;
}

void HidHook::ShowCount() {
    View.SetConnectedText("Connected : " + std::to_string(ConnectedCount));
}

void HidHook::Plugged(HidLibrary& hid, HidHandle handle) {
    if (!Accepted(hid, handle)) {
        return;
    }
    const int index = DeviceIndexOfProduct(hid.GetProductID(handle));
    hid.SetReadNotify(handle, true);
    ++ConnectedCount;
    ShowCount();
    Device.Handles[static_cast<std::size_t>(index)].store(handle, std::memory_order_relaxed);
    View.SetUnitCaption(index, ConnectedCaption(index));
}

void HidHook::Unplugged(HidLibrary& hid, HidHandle handle) {
    // Handle 0 names no device: it would match every empty slot and drive the count negative.
    for (auto& slot : Device.Handles) {
        if (handle != 0 && slot.load(std::memory_order_relaxed) == handle) {
            slot.store(0, std::memory_order_relaxed);
            --ConnectedCount;
        }
    }
    ShowCount();
    // No vendor check here: the label follows the product ID alone.
    const int index = DeviceIndexOfProduct(hid.GetProductID(handle));
    if (index >= 0) {
        View.SetUnitCaption(index, IdleCaption(index));
    }
}

void HidHook::Changed(HidLibrary& hid) {
    ConnectedCount = 0;
    // Slots 0-3 are the bezel units, 4-5 the audio units; slot i's product ID is 684 + i.
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

void HidHook::ReadReport(HidLibrary& hid, HidHandle handle) {
    if (!Accepted(hid, handle)) {
        return;
    }
    // The buffer is shared by all units: decoding it after a failed read would replay another
    // unit's report (or an old one) as this unit's input.
    if (!hid.Read(handle, ReceiveBuffer)) {
        return;
    }
    ++ReadCount;
    if (Decode) {
        Decode(hid.GetProductID(handle), ReceiveBuffer);
    }
}

}  // namespace qel
