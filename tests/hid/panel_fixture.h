#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/device.h"
#include "core/hidhook.h"
#include "hid/hidlibrary.h"
#include "hid/notification_queue.h"
#include "hid/virtual_library.h"
#include "translate/units.h"

namespace qel::test {

// Shorthands for the events in expected notification lists.
inline constexpr HidEvent kPlugged = HidEvent::Plugged;
inline constexpr HidEvent kUnplugged = HidEvent::Unplugged;
inline constexpr HidEvent kChanged = HidEvent::Changed;
inline constexpr HidEvent kRead = HidEvent::Read;

// The program's queue of HID notifications, drained by the test instead of an event loop.
class NotificationQueue {
public:
    explicit NotificationQueue(
        std::size_t readCapacity = HidNotificationQueue::kDefaultReadCapacity)
        : Queue([] {}, readCapacity) {}

    NotificationPoster Poster() {
        return [this](const HidNotification& notification) {
            Queue.Post(notification);
            {
                std::lock_guard lock(Mutex);
                ++PostedSinceTake;
            }
            Arrived.notify_all();
        };
    }

    std::vector<HidNotification> Take() {
        std::vector<HidNotification> taken;
        {
            std::lock_guard lock(Mutex);
            PostedSinceTake = 0;
        }
        Queue.Drain([&](const HidNotification& n) { taken.push_back(n); });
        return taken;
    }

    // Runs every queued notification through hook, in order. Returns how many.
    int DrainInto(HidHook& hook) {
        {
            std::lock_guard lock(Mutex);
            PostedSinceTake = 0;
        }
        return static_cast<int>(
            Queue.Drain([&](const HidNotification& n) { hook.HidMessageHook(n); }));
    }

    // Waits (bounded) until at least count notifications were posted since the last Take.
    bool WaitFor(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
        std::unique_lock lock(Mutex);
        return Arrived.wait_for(lock, limit, [&] { return PostedSinceTake >= count; });
    }

    [[nodiscard]] std::uint64_t DroppedReports() const { return Queue.DroppedReports(); }

private:
    HidNotificationQueue Queue;
    std::mutex Mutex;
    std::condition_variable Arrived;
    std::size_t PostedSinceTake = 0;
};

// Remembers the captions and status text the hook shows.
class RecordingView final : public DeviceStatusView {
public:
    RecordingView() {
        for (const UnitNames& unit : kUnits) {
            Captions[static_cast<std::size_t>(unit.Id.DeviceIndex())] =
                std::string(unit.IdleCaption);
        }
    }
    void SetUnitCaption(UnitId unit, std::string_view caption) override {
        Captions.at(static_cast<std::size_t>(unit.DeviceIndex())) = std::string(caption);
    }
    void SetConnectedText(std::string_view text) override { StatusText = std::string(text); }

    std::array<std::string, kDeviceCount> Captions;
    std::string StatusText = "Connected : 0";
};

struct DecodedReport {
    int ProductId = 0;                // of the unit decoded
    std::vector<std::uint8_t> Bytes;  // the first bytes of the receive buffer
};

// Virtual panels on a manual clock, the device module, the hook and a recording decoder.
struct PanelRig {
    static constexpr std::size_t kKeptBytes = 8;

    explicit PanelRig(std::vector<ScriptEvent> script = {},
                      std::size_t readCapacity = HidNotificationQueue::kDefaultReadCapacity)
        : Queue(readCapacity) {
        auto panels =
            std::make_unique<VirtualPanels>(std::move(script), VirtualPanels::Clock::Manual);
        Panels = panels.get();
        Device = std::make_unique<TDeviceDM>(std::move(panels), Queue.Poster());
        Hook = std::make_unique<HidHook>(*Device, View, [this](UnitId unit, ReceiveBuffer buffer) {
            Decoded.push_back(
                {NamesOf(unit).ProductId,
                 std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + kKeptBytes)});
        });
    }

    int Drain() { return Queue.DrainInto(*Hook); }

    std::array<std::uint32_t, kDeviceCount> Slots() const {
        std::array<std::uint32_t, kDeviceCount> slots{};
        for (std::size_t i = 0; i < slots.size(); ++i) {
            slots[i] = Device->Handles[i].load();
        }
        return slots;
    }

    NotificationQueue Queue;
    RecordingView View;
    std::vector<DecodedReport> Decoded;
    VirtualPanels* Panels = nullptr;  // owned by Device
    std::unique_ptr<TDeviceDM> Device;
    std::unique_ptr<HidHook> Hook;
};

}  // namespace qel::test
