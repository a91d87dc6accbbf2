#include "hid/virtual_library.h"

#include <algorithm>
#include <utility>

namespace qel {

// A virtual device's output side: every command report becomes a write record.
class VirtualPanels::Port final : public OutputPort {
public:
    Port(VirtualPanels& owner, int productId) : Owner(owner), ProductId(productId) {}
    bool WriteReport(CommandReport report) override {
        Owner.Record(ProductId, static_cast<char>(report[1]));
        return true;
    }

private:
    VirtualPanels& Owner;
    int ProductId;
};

VirtualPanels::VirtualPanels(std::vector<ScriptEvent> script, Clock clock)
    : Script(std::move(script)), ClockMode(clock) {}

VirtualPanels::~VirtualPanels() {
    Disconnect();
}

void VirtualPanels::Connect(NotificationPoster post) {
    {
        std::lock_guard lock(Mutex);
        if (Connected || Stopping) {
            return;
        }
        Connected = true;
        ConnectedAt = std::chrono::steady_clock::now();
    }
    Registry.StartPosting(std::move(post));
    if (ClockMode == Clock::RealTime) {
        Player = std::thread([this] { PlayerMain(); });
    }
}

void VirtualPanels::Disconnect() {
    {
        std::lock_guard lock(Mutex);
        Stopping = true;
        Connected = false;
    }
    Wake.notify_all();
    if (Player.joinable()) {
        Player.join();
    }
    Registry.StopPosting();
    Registry.RemoveAllQuietly();
}

HidHandle VirtualPanels::PlugOther(int vendorId, int productId) {
    const HidHandle handle =
        Registry.Add(vendorId, productId, std::make_shared<Port>(*this, productId));
    Registry.RaiseChanged();
    return handle;
}

bool VirtualPanels::Unplug(int productId) {
    const HidHandle handle = Registry.Find(kPanelVendorId, productId);
    if (handle == 0 || !Registry.Remove(handle)) {
        return false;
    }
    Registry.RaiseChanged();
    return true;
}

bool VirtualPanels::SendReport(int productId, std::span<const std::uint8_t> bytes) {
    const HidHandle handle = Registry.Find(kPanelVendorId, productId);
    if (handle == 0) {
        return false;
    }
    Registry.PushReport(handle, bytes);
    return true;
}

void VirtualPanels::Play(const ScriptEvent& event) {
    switch (event.What) {
        case ScriptEvent::Kind::Plug:
            Plug(event.ProductId);
            break;
        case ScriptEvent::Kind::PlugOther:
            PlugOther(event.VendorId, event.ProductId);
            break;
        case ScriptEvent::Kind::Unplug:
            Unplug(event.ProductId);
            break;
        case ScriptEvent::Kind::Report:
            SendReport(event.ProductId, event.Bytes);
            break;
    }
}

void VirtualPanels::AdvanceTo(std::uint32_t ms) {
    std::vector<const ScriptEvent*> due;
    {
        std::lock_guard lock(Mutex);
        ManualNowMs = std::max(ManualNowMs, ms);
        if (!Connected) {
            return;
        }
        while (NextEvent < Script.size() && Script[NextEvent].AtMs <= ManualNowMs) {
            due.push_back(&Script[NextEvent++]);
        }
    }
    for (const ScriptEvent* event : due) {
        Play(*event);
    }
}

void VirtualPanels::PlayerMain() {
    std::unique_lock lock(Mutex);
    while (!Stopping && NextEvent < Script.size()) {
        const ScriptEvent& event = Script[NextEvent];
        const auto due = ConnectedAt + std::chrono::milliseconds(event.AtMs);
        if (Wake.wait_until(lock, due, [this] { return Stopping; })) {
            break;
        }
        ++NextEvent;
        lock.unlock();
        Play(event);
        lock.lock();
    }
    Finished = NextEvent == Script.size();
}

std::uint32_t VirtualPanels::NowMs() const {
    if (ClockMode == Clock::Manual) {
        return ManualNowMs;
    }
    const auto elapsed = std::chrono::steady_clock::now() - ConnectedAt;
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void VirtualPanels::Record(int productId, char letter) {
    std::lock_guard lock(Mutex);
    const WriteRecord record{productId, letter, NowMs()};
    if (WriteLog.size() < kWriteRecordLimit) {
        WriteLog.push_back(record);
    } else {
        WriteLog[TotalWrites % kWriteRecordLimit] = record;
    }
    ++TotalWrites;
}

std::vector<WriteRecord> VirtualPanels::Writes() const {
    std::lock_guard lock(Mutex);
    if (WriteLog.size() < kWriteRecordLimit) {
        return WriteLog;
    }
    // Oldest first: the ring's next slot to overwrite holds the oldest record.
    std::vector<WriteRecord> ordered;
    ordered.reserve(WriteLog.size());
    const std::size_t start = TotalWrites % kWriteRecordLimit;
    ordered.insert(ordered.end(), WriteLog.begin() + static_cast<std::ptrdiff_t>(start),
                   WriteLog.end());
    ordered.insert(ordered.end(), WriteLog.begin(),
                   WriteLog.begin() + static_cast<std::ptrdiff_t>(start));
    return ordered;
}

std::uint64_t VirtualPanels::WriteCount() const {
    std::lock_guard lock(Mutex);
    return TotalWrites;
}

bool VirtualPanels::ScriptFinished() const {
    std::lock_guard lock(Mutex);
    return Finished;
}

}  // namespace qel
