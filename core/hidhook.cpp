#include "core/hidhook.h"

#include <string>
#include <utility>

#include "translate/units.h"

namespace qel {

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

std::optional<UnitId> HidHook::AcceptedUnit(HidLibrary& hid, HidHandle handle) const {
    if (hid.GetVendorID(handle) != kPanelVendorId) {
        return std::nullopt;
    }
    return UnitOfProduct(hid.GetProductID(handle));
}

void HidHook::ShowCount() {
    View.SetConnectedText("Connected : " + std::to_string(ConnectedCount));
}

void HidHook::Plugged(HidLibrary& hid, HidHandle handle) {
    const std::optional<UnitId> unit = AcceptedUnit(hid, handle);
    if (!unit) {
        return;
    }
    hid.SetReadNotify(handle, true);
    ++ConnectedCount;
    ShowCount();
    Device.Handles[static_cast<std::size_t>(unit->DeviceIndex())].store(handle,
                                                                        std::memory_order_relaxed);
    View.SetUnitCaption(*unit, NamesOf(*unit).ConnectedCaption);
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
    if (const std::optional<UnitId> unit = UnitOfProduct(hid.GetProductID(handle))) {
        View.SetUnitCaption(*unit, NamesOf(*unit).IdleCaption);
    }
}

void HidHook::Changed(HidLibrary& hid) {
    ConnectedCount = 0;
    for (const UnitNames& unit : kUnits) {
        const HidHandle handle = hid.GetHandle(kPanelVendorId, unit.ProductId);
        Device.Handles[static_cast<std::size_t>(unit.Id.DeviceIndex())].store(
            handle, std::memory_order_relaxed);
        if (handle != 0) {
            ++ConnectedCount;
            hid.SetReadNotify(handle, true);
        }
    }
    ShowCount();
}

void HidHook::ReadReport(HidLibrary& hid, HidHandle handle, const InputReport& report) {
    const std::optional<UnitId> unit = AcceptedUnit(hid, handle);
    if (!unit) {
        return;
    }
    ++ReadCount;
    if (Decode) {
        Decode(*unit, report);
    }
}

}  // namespace qel
