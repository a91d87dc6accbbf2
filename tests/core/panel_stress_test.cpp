// Many plug/unplug cycles of all six units while the six workers write and reports flow;
// built to run under ThreadSanitizer (label "panel").
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <thread>

#include "fake_hidraw_system.h"
#include "core/audiothread.h"
#include "core/g1000thread.h"
#include "hid/hidapi_library.h"
#include "panel_fixture.h"
#include "support/memory_log.h"

#ifndef QEL_STRESS_CYCLES
#define QEL_STRESS_CYCLES 10000
#endif

namespace qel::test {
namespace {

constexpr int kCycles = QEL_STRESS_CYCLES;

// Real ticks, but a cycle that sleeps a tenth of a millisecond: the workers write far faster
// than they would at 33 ms, to crowd the device table and the library.
WorkerTiming FastTiming() {
    WorkerTiming timing = WorkerTiming::Real();
    timing.Sleep = [](std::uint32_t) {
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    };
    return timing;
}

struct Workers {
    std::vector<std::unique_ptr<PanelWorker>> All;
    std::atomic<int> CloseRequests{0};

    explicit Workers(TDeviceDM& device) {
        for (int unit = 0; unit < kAudioUnitCount; ++unit) {
            All.push_back(std::make_unique<TAudioThread>(
                device, [this] { ++CloseRequests; }, FastTiming()));
            All.back()->UnitIndex = unit;
        }
        for (int unit = 0; unit < kBezelUnitCount; ++unit) {
            All.push_back(std::make_unique<TG1000Thread>(
                device, [this] { ++CloseRequests; }, FastTiming()));
            All.back()->UnitIndex = unit;
        }
        for (auto& worker : All) {
            worker->SetPriorityAboveNormal();
            worker->Enabled = true;
            worker->Resume();
        }
    }
    void Stop() {
        std::vector<PanelWorker*> raw;
        for (auto& worker : All) {
            raw.push_back(worker.get());
        }
        StopWorkers(raw);
    }
};

// A guard so a lost notification fails the test instead of hanging it.
bool Stuck() {
    static const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(50);
    return std::chrono::steady_clock::now() > limit;
}

void ExpectAllGone(PanelRig& rig) {
    EXPECT_EQ(rig.Slots(), (std::array<std::uint32_t, kDeviceCount>{}));
    EXPECT_EQ(rig.Hook->ConnectedCount, 0);
    EXPECT_EQ(rig.View.StatusText, "Connected : 0");
    for (int i = 0; i < kDeviceCount; ++i) {
        EXPECT_EQ(rig.View.Captions[static_cast<std::size_t>(i)],
                  kUnits[static_cast<std::size_t>(i)].IdleCaption);
    }
}

TEST(PanelStress, PlugCyclesOfAllUnitsWhileWorkersWriteAndReportsFlowLeaveTheCountsRight) {
    PanelRig rig;
    // Each report carries its unit's product ID, so a report decoded as another unit's shows.
    int misattributed = 0;
    rig.Hook =
        std::make_unique<HidHook>(*rig.Device, rig.View, [&](UnitId unit, ReceiveBuffer buffer) {
            const int productId = NamesOf(unit).ProductId;
            misattributed += buffer[2] != static_cast<std::uint8_t>(productId & 0xFF) ? 1 : 0;
        });
    Workers workers(*rig.Device);

    std::atomic<bool> done{false};
    std::thread hardware([&] {
        for (int cycle = 0; cycle < kCycles; ++cycle) {
            std::array<HidHandle, kDeviceCount> handles{};
            for (int pid = 684; pid <= 689; ++pid) {
                handles[static_cast<std::size_t>(pid - 684)] = rig.Panels->Plug(pid);
            }
            // Reports count once the main thread has taken the units in, as with real panels
            // that answer the commands of their worker.
            for (std::size_t i = 0; i < handles.size(); ++i) {
                while (rig.Device->Handles[i].load() != handles[i] && !Stuck()) {
                    std::this_thread::yield();
                }
            }
            for (int pid = 684; pid <= 689; ++pid) {
                const std::uint8_t report[] = {0, 0xC1, static_cast<std::uint8_t>(pid & 0xFF)};
                rig.Panels->SendReport(pid, report);
                rig.Panels->SendReport(pid, report);
            }
            for (int pid = 684; pid <= 689; ++pid) {
                rig.Panels->Unplug(pid);
            }
        }
        done = true;
    });
    while (!done) {
        if (rig.Drain() == 0) {
            std::this_thread::yield();
        }
    }
    hardware.join();
    rig.Drain();

    ExpectAllGone(rig);
    EXPECT_EQ(misattributed, 0);
    EXPECT_GT(rig.Hook->ReadCount, 0) << "some reports should have flowed";
    EXPECT_LE(rig.Hook->ReadCount, kCycles * kDeviceCount * 2);

    workers.Stop();
    EXPECT_EQ(workers.CloseRequests, kDeviceCount);
    EXPECT_GT(rig.Panels->WriteCount(), 0U);
    rig.Device->Disconnect();
}

TEST(PanelStress, HidapiBackEndSurvivesArrivalsRemovalsAndFailuresUnderWrites) {
    constexpr int kHidapiCycles = kCycles / 20;
    auto system = std::make_unique<FakeHidrawSystem>();
    FakeHidrawSystem& fake = *system;
    MemoryLog log;
    NotificationQueue queue;
    RecordingView view;
    int decoded = 0;
    auto device = std::make_unique<TDeviceDM>(
        std::make_unique<HidapiLibrary>(std::move(system), log, std::chrono::milliseconds(20)),
        queue.Poster());
    HidHook hook(*device, view, [&](UnitId, ReceiveBuffer) { ++decoded; });
    Workers workers(*device);

    std::atomic<bool> done{false};
    std::thread hardware([&] {
        for (int cycle = 0; cycle < kHidapiCycles; ++cycle) {
            for (int i = 0; i < kDeviceCount; ++i) {
                fake.Arrive(Node("/dev/hidraw" + std::to_string(i), 0x0D59, 684 + i));
            }
            for (int i = 0; i < kDeviceCount; ++i) {
                fake.Send("/dev/hidraw" + std::to_string(i), {0xC1, 0x00});
            }
            for (int i = 0; i < kDeviceCount; ++i) {
                const std::string path = "/dev/hidraw" + std::to_string(i);
                if (i % 2 == 0) {
                    fake.Leave(path);
                } else {
                    fake.FailReads(path);  // stops answering; udev tells later
                }
            }
        }
        done = true;
    });
    // The main thread keeps handling notifications until the library has handled every hotplug
    // event. A quiet spell with nothing connected proves nothing: the monitor may be closing a
    // device (waiting out its reader) with thousands of events still to come.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(240);
    bool settled = false;
    while (!settled && std::chrono::steady_clock::now() < limit) {
        settled = done && fake.Settled();
        if (queue.DrainInto(hook) == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    hardware.join();
    queue.DrainInto(hook);
    EXPECT_TRUE(settled) << "the library did not handle every hotplug event in time";
    EXPECT_EQ(hook.ConnectedCount, 0);
    for (const auto& slot : device->Handles) {
        EXPECT_EQ(slot.load(), 0U);
    }
    workers.Stop();
    device->Disconnect();
    for (int i = 0; i < kDeviceCount; ++i) {
        EXPECT_FALSE(fake.StateOf("/dev/hidraw" + std::to_string(i))->Open)
            << "device " << i << " left open";
    }
}

}  // namespace
}  // namespace qel::test
