#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "hid/hidraw_system.h"

namespace qel::test {

// A scripted stand-in for hidapi and udev: nodes present at start, arrivals, removals, the
// bytes each device sends, and failures. Thread-safe like the real thing.
class FakeHidrawSystem final : public HidrawSystem {
public:
    struct DeviceState {
        std::mutex Mutex;
        std::condition_variable Changed;
        std::deque<std::vector<std::uint8_t>> Incoming;
        std::vector<std::vector<std::uint8_t>> Written;
        bool ReadFails = false;
        bool WriteFails = false;
        bool Open = false;
    };

    Status Start() override { return {}; }

    std::vector<HidrawNode> Enumerate() override {
        std::lock_guard lock(Mutex);
        return Present;
    }

    Result<std::unique_ptr<HidrawDevice>> Open(const HidrawNode& node) override {
        std::lock_guard lock(Mutex);
        OpenAttempts.push_back(node.Path);
        if (Unopenable.contains(node.Path)) {
            return Failure{"Permission denied"};
        }
        auto state = StateLocked(node.Path);
        {
            std::lock_guard deviceLock(state->Mutex);
            state->Open = true;
        }
        return std::make_unique<Device>(state);
    }

    std::optional<HotplugEvent> WaitHotplug(std::chrono::milliseconds timeout) override {
        std::unique_lock lock(Mutex);
        ++Waiting;
        Arrived.wait_for(lock, timeout, [this] { return Woken || !Events.empty(); });
        --Waiting;
        if (Woken) {
            Woken = false;
            return std::nullopt;
        }
        if (Events.empty()) {
            return std::nullopt;
        }
        HotplugEvent event = Events.front();
        Events.pop_front();
        return event;
    }

    void Wake() override {
        {
            std::lock_guard lock(Mutex);
            Woken = true;
        }
        Arrived.notify_all();
    }

    // --- scripting, any thread ---
    void AddPresent(HidrawNode node) {
        std::lock_guard lock(Mutex);
        Present.push_back(std::move(node));
    }
    // A node appears; a device that comes back answers again.
    void Arrive(HidrawNode node) {
        auto state = StateOf(node.Path);
        {
            std::lock_guard lock(state->Mutex);
            state->ReadFails = false;
        }
        Push(HotplugEvent{HotplugEvent::Kind::Added, std::move(node)});
    }
    // The node goes: reads of an open device fail, as they do on hidraw, then udev tells.
    void Leave(const std::string& path) {
        FailReads(path);
        HotplugEvent event{HotplugEvent::Kind::Removed, {}};
        event.Node.Path = path;
        Push(std::move(event));
    }
    void Send(const std::string& path, std::vector<std::uint8_t> bytes) {
        auto state = StateOf(path);
        {
            std::lock_guard lock(state->Mutex);
            state->Incoming.push_back(std::move(bytes));
        }
        state->Changed.notify_all();
    }
    void FailReads(const std::string& path) {
        auto state = StateOf(path);
        {
            std::lock_guard lock(state->Mutex);
            state->ReadFails = true;
        }
        state->Changed.notify_all();
    }
    void RefuseOpen(const std::string& path) {
        std::lock_guard lock(Mutex);
        Unopenable.insert(path);
    }
    std::shared_ptr<DeviceState> StateOf(const std::string& path) {
        std::lock_guard lock(Mutex);
        return StateLocked(path);
    }
    // True once the library has nothing left to do: every hotplug event has been taken, the
    // monitor waits for the next one (so it has finished with the last), and no device is
    // open (so no reader can fail and wake it). Notifications raised so far are all posted.
    bool Settled() {
        std::lock_guard lock(Mutex);
        if (!Events.empty() || Waiting == 0) {
            return false;
        }
        for (const auto& [path, state] : States) {
            std::lock_guard deviceLock(state->Mutex);
            if (state->Open) {
                return false;
            }
        }
        return true;
    }
    std::vector<std::string> Attempts() {
        std::lock_guard lock(Mutex);
        return OpenAttempts;
    }

private:
    class Device final : public HidrawDevice {
    public:
        explicit Device(std::shared_ptr<DeviceState> state) : State(std::move(state)) {}
        ~Device() override {
            std::lock_guard lock(State->Mutex);
            State->Open = false;
        }
        Result<std::size_t> Read(std::span<std::uint8_t> buffer,
                                 std::chrono::milliseconds timeout) override {
            std::unique_lock lock(State->Mutex);
            State->Changed.wait_for(
                lock, timeout, [this] { return State->ReadFails || !State->Incoming.empty(); });
            if (State->ReadFails) {
                return Failure{"read failed"};
            }
            if (State->Incoming.empty()) {
                return std::size_t{0};
            }
            const auto bytes = State->Incoming.front();
            State->Incoming.pop_front();
            const std::size_t count = std::min(bytes.size(), buffer.size());
            std::copy_n(bytes.begin(), count, buffer.begin());
            return count;
        }
        Status Write(std::span<const std::uint8_t> report) override {
            std::lock_guard lock(State->Mutex);
            if (State->WriteFails) {
                return Failure{"write failed"};
            }
            State->Written.emplace_back(report.begin(), report.end());
            return {};
        }

    private:
        std::shared_ptr<DeviceState> State;
    };

    void Push(HotplugEvent event) {
        {
            std::lock_guard lock(Mutex);
            Events.push_back(std::move(event));
        }
        Arrived.notify_all();
    }
    std::shared_ptr<DeviceState> StateLocked(const std::string& path) {
        auto& state = States[path];
        if (!state) {
            state = std::make_shared<DeviceState>();
        }
        return state;
    }

    std::mutex Mutex;
    std::condition_variable Arrived;
    std::vector<HidrawNode> Present;
    std::deque<HotplugEvent> Events;
    bool Woken = false;
    int Waiting = 0;  // threads inside WaitHotplug
    std::set<std::string> Unopenable;
    std::vector<std::string> OpenAttempts;
    std::map<std::string, std::shared_ptr<DeviceState>> States;
};

inline HidrawNode Node(const std::string& path, int vendorId, int productId,
                       bool numbered = false) {
    return HidrawNode{path, vendorId, productId, numbered};
}

}  // namespace qel::test
