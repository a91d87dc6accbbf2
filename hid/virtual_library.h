#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "hid/device_registry.h"
#include "hid/registry_library.h"
#include "hid/panel_script.h"

namespace qel {

// One Write that reached a virtual panel.
struct WriteRecord {
    int ProductId = 0;
    char Letter = 0;         // byte 1 of the command report
    std::uint32_t AtMs = 0;  // milliseconds after Connect
};

// In-process panels that behave like real ones at the HidLibrary seam: plug, unplug, changed,
// input reports, and a record of every Write. A test and demo facility.
//
// Two clocks: RealTime plays the script on the library's own thread from Connect on;
// Manual plays it only when AdvanceTo is called, so tests run without time.
// The direct controls (Plug, Unplug, SendReport, PlugOther) work in both and from any thread,
// once connected.
class VirtualPanels final : public RegistryLibrary {
public:
    enum class Clock { RealTime, Manual };

    // Keeps the newest this many write records (older ones are counted, not kept).
    static constexpr std::size_t kWriteRecordLimit = 65536;

    explicit VirtualPanels(std::vector<ScriptEvent> script = {}, Clock clock = Clock::Manual);
    ~VirtualPanels() override;

    VirtualPanels(const VirtualPanels&) = delete;
    VirtualPanels& operator=(const VirtualPanels&) = delete;

    void Connect(NotificationPoster post) override;
    void Disconnect() override;

    // Manual clock: moves the time to ms after Connect and plays every script event due by then.
    void AdvanceTo(std::uint32_t ms);

    // A device arrives (Plugged, then Changed). Returns its handle.
    HidHandle PlugOther(int vendorId, int productId);
    HidHandle Plug(int productId) { return PlugOther(kPanelVendorId, productId); }
    // The earliest connected panel with this product ID goes (Unplugged, then Changed).
    // False when there is none.
    bool Unplug(int productId);
    // That panel sends one input report (bytes from the report ID on). False when absent.
    bool SendReport(int productId, std::span<const std::uint8_t> bytes);

    [[nodiscard]] std::vector<WriteRecord> Writes() const;
    [[nodiscard]] std::uint64_t WriteCount() const;
    // True once a RealTime script has been played to its end.
    [[nodiscard]] bool ScriptFinished() const;

private:
    class Port;
    void Play(const ScriptEvent& event);
    void PlayerMain();
    std::uint32_t NowMs() const;
    void Record(int productId, char letter);

    const std::vector<ScriptEvent> Script;
    const Clock ClockMode;

    mutable std::mutex Mutex;  // guards everything below
    std::condition_variable Wake;
    bool Connected = false;
    bool Stopping = false;
    bool Finished = false;
    std::size_t NextEvent = 0;
    std::uint32_t ManualNowMs = 0;
    std::chrono::steady_clock::time_point ConnectedAt;
    std::vector<WriteRecord> WriteLog;  // ring of kWriteRecordLimit once full
    std::uint64_t TotalWrites = 0;

    std::thread Player;
};

}  // namespace qel
