#include "core/panel_worker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "core/audiothread.h"
#include "core/g1000thread.h"
#include "hid/virtual_library.h"

namespace qel::test {
namespace {

TEST(CycleWait, SleepsForTheRestOfThePeriodClampedToZeroAndPeriod) {
    struct Case {
        std::uint32_t Elapsed;
        std::uint32_t Wait;
    };
    const Case cases[] = {
        {0, 32},                     // an instant write sleeps 32 ms
        {1, 31},           {31, 1},  // 31 ms write: 1 ms sleep
        {32, 0},                     // 32 ms or more: no sleep
        {33, 0},           {5000, 0},
        {0x80000000U, 0},   // never a huge sleep from a huge elapsed time
        {0xFFFFFFFFU, 33},  // a tick one behind reads as -1: wait 33, not above the period
        {0xFFFFFFF0U, 33},  // further behind: clamped to the period
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Elapsed);
        EXPECT_EQ(CycleWait(33, c.Elapsed), c.Wait);
    }
}

// A library that records every Write and lets each one take a set number of fake ms.
class RecordingLibrary final : public HidLibrary {
public:
    explicit RecordingLibrary(std::uint32_t& now) : Now(now) {}
    void Connect(NotificationPoster) override {}
    void Disconnect() override {}
    int GetVendorID(HidHandle) override { return kPanelVendorId; }
    int GetProductID(HidHandle) override { return 0; }
    HidHandle GetHandle(int, int) override { return 0; }
    void SetReadNotify(HidHandle, bool) override {}
    bool Write(HidHandle handle, CommandReport report) override {
        Letters[handle] += static_cast<char>(report[1]);
        EXPECT_EQ(report[0], 0);
        for (std::size_t i = 2; i < report.size(); ++i) {
            EXPECT_EQ(report[i], 0) << "byte " << i;
        }
        Now += WriteCostMs;
        return true;
    }
    std::uint32_t& Now;
    std::uint32_t WriteCostMs = 0;
    std::map<HidHandle, std::string> Letters;
};

// Fake tick and sleep; clears the worker's Enabled inside the given sleep.
struct FakeClock {
    std::uint32_t Now = 0;
    std::vector<std::uint32_t> Sleeps;
    std::size_t StopInSleep = 6;
    PanelWorker* Worker = nullptr;
    std::function<void(std::size_t sleeps)> OnSleep;

    WorkerTiming Timing() {
        return WorkerTiming{[this] { return Now; },
                            [this](std::uint32_t ms) {
                                Sleeps.push_back(ms);
                                Now += ms;
                                if (OnSleep) {
                                    OnSleep(Sleeps.size());
                                }
                                if (Sleeps.size() == StopInSleep) {
                                    Worker->Enabled = false;
                                }
                            }};
    }
};

struct WorkerRig {
    FakeClock Clock;
    RecordingLibrary* Library = nullptr;
    std::unique_ptr<TDeviceDM> Device;
    int CloseRequests = 0;

    WorkerRig() {
        auto library = std::make_unique<RecordingLibrary>(Clock.Now);
        Library = library.get();
        Device = std::make_unique<TDeviceDM>(std::move(library), nullptr);
        for (std::size_t slot = 0; slot < kDeviceCount; ++slot) {
            Device->Handles[slot] = static_cast<std::uint32_t>(100 + slot);
        }
    }

    template <typename Worker>
    void Run(int unit, std::size_t cycles) {
        Worker worker(
            *Device, [this] { ++CloseRequests; }, Clock.Timing());
        Clock.Worker = &worker;
        Clock.StopInSleep = cycles;
        worker.UnitIndex = unit;
        worker.Enabled = true;
        worker.Resume();
        worker.WaitUntilStopped();
        EXPECT_FALSE(worker.Running);
        EXPECT_EQ(worker.Period, 33);
    }
};

TEST(PanelWorker, EachUnitGetsItsCycleStartingWithBInItsOwnSlotOnly) {
    struct Case {
        bool Bezel;
        int Unit;
        HidHandle Slot;
        std::string Letters;
    };
    const Case cases[] = {
        {true, 0, 100, "BCABCABC"},
        {true, 3, 103, "BCABCABC"},
        {false, 0, 104, "BABABABA"},
        {false, 1, 105, "BABABABA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.Bezel ? "bezel " : "audio ") << c.Unit);
        WorkerRig rig;
        if (c.Bezel) {
            rig.Run<TG1000Thread>(c.Unit, 8);
        } else {
            rig.Run<TAudioThread>(c.Unit, 8);
        }
        ASSERT_EQ(rig.Library->Letters.size(), 1U) << "wrote to more than its own slot";
        EXPECT_EQ(rig.Library->Letters.begin()->first, c.Slot);
        EXPECT_EQ(rig.Library->Letters.begin()->second, c.Letters);
    }
}

TEST(PanelWorker, SleepsOnlyTheRestOfThePeriodAfterASlowWriteAcrossTheTickWrap) {
    struct Case {
        std::uint32_t Start;
        std::uint32_t WriteCost;
        std::uint32_t Sleep;
    };
    const Case cases[] = {
        {1000, 0, 32},        {1000, 31, 1},        {1000, 32, 0},        {1000, 40, 0},
        {0xFFFFFFF0U, 31, 1}, {0xFFFFFFFFU, 0, 32}, {0xFFFFFFE0U, 32, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "start " << c.Start << " write " << c.WriteCost);
        WorkerRig rig;
        rig.Clock.Now = c.Start;
        rig.Library->WriteCostMs = c.WriteCost;
        rig.Run<TG1000Thread>(1, 3);
        EXPECT_EQ(rig.Clock.Sleeps, (std::vector<std::uint32_t>{c.Sleep, c.Sleep, c.Sleep}));
    }
}

TEST(PanelWorker, WithNoUnitConnectedNothingIsWrittenAndEveryCycleStillSleeps) {
    WorkerRig rig;
    for (auto& slot : rig.Device->Handles) {
        slot = 0;
    }
    rig.Run<TAudioThread>(0, 5);
    EXPECT_TRUE(rig.Library->Letters.empty());
    EXPECT_EQ(rig.Clock.Sleeps, (std::vector<std::uint32_t>(5, 32)));
}

TEST(PanelWorker, ClearedEnabledFinishesTheCycleThenPostsOneCloseRequest) {
    WorkerRig rig;
    rig.Run<TG1000Thread>(2, 4);  // Enabled cleared inside the 4th sleep
    EXPECT_EQ(rig.Library->Letters[102], "BCAB");
    EXPECT_EQ(rig.Clock.Sleeps.size(), 4U) << "the last sleep must be finished, not cut short";
    EXPECT_EQ(rig.CloseRequests, 1);
}

TEST(PanelWorker, AUnitPluggedInMidCycleGetsWhicheverLetterIsDue) {
    // The phase keeps advancing while the slot is empty. Unit 0 arrives in the 2nd sleep, so
    // cycles 3 to 6 reach it: A, B, C, A.
    WorkerRig rig;
    rig.Device->Handles[0] = 0;
    rig.Clock.OnSleep = [&](std::size_t sleeps) {
        if (sleeps == 2) {
            rig.Device->Handles[0] = 100;
        }
    };
    rig.Run<TG1000Thread>(0, 6);
    EXPECT_EQ(rig.Library->Letters[100], "ABCA");
}

TEST(PanelWorker, StopWorkersEndsEveryThreadAndEachPostsOneCloseRequest) {
    auto library = std::make_unique<VirtualPanels>();
    VirtualPanels* panels = library.get();
    TDeviceDM device(std::move(library), [](const HidNotification&) {});
    std::atomic<int> closeRequests{0};
    std::vector<std::unique_ptr<PanelWorker>> workers;
    for (int unit = 0; unit < kAudioUnitCount; ++unit) {
        workers.push_back(std::make_unique<TAudioThread>(device, [&] { ++closeRequests; }));
        workers.back()->UnitIndex = unit;
    }
    for (int unit = 0; unit < kBezelUnitCount; ++unit) {
        workers.push_back(std::make_unique<TG1000Thread>(device, [&] { ++closeRequests; }));
        workers.back()->UnitIndex = unit;
    }
    std::vector<PanelWorker*> raw;
    for (auto& worker : workers) {
        worker->SetPriorityAboveNormal();
        worker->Enabled = true;
        worker->Resume();
        raw.push_back(worker.get());
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    StopWorkers(raw);
    for (auto* worker : raw) {
        EXPECT_FALSE(worker->Running);
    }
    EXPECT_EQ(closeRequests, kDeviceCount);
    device.Disconnect();
    EXPECT_EQ(panels->WriteCount(), 0U) << "no unit was connected";
}

TEST(PanelWorker, RealThreadsWriteEachUnitItsCycleAboutThirtyTimesASecond) {
    auto library =
        std::make_unique<VirtualPanels>(std::vector<ScriptEvent>{}, VirtualPanels::Clock::RealTime);
    VirtualPanels& panels = *library;
    TDeviceDM device(std::move(library), [](const HidNotification&) {});
    for (int i = 0; i < kDeviceCount; ++i) {
        device.Handles[static_cast<std::size_t>(i)] = panels.Plug(kFirstBezelProductId + i);
    }
    std::vector<std::unique_ptr<PanelWorker>> workers;
    for (int unit = 0; unit < kBezelUnitCount; ++unit) {
        workers.push_back(std::make_unique<TG1000Thread>(device, nullptr));
        workers.back()->UnitIndex = unit;
    }
    for (int unit = 0; unit < kAudioUnitCount; ++unit) {
        workers.push_back(std::make_unique<TAudioThread>(device, nullptr));
        workers.back()->UnitIndex = unit;
    }
    const auto start = std::chrono::steady_clock::now();
    for (auto& worker : workers) {
        worker->Enabled = true;
        worker->Resume();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    std::vector<PanelWorker*> raw;
    for (auto& worker : workers) {
        raw.push_back(worker.get());
    }
    StopWorkers(raw);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::map<int, std::string> letters;
    for (const WriteRecord& record : panels.Writes()) {
        letters[record.ProductId] += record.Letter;
    }
    for (int i = 0; i < kDeviceCount; ++i) {
        const int pid = kFirstBezelProductId + i;
        SCOPED_TRACE(pid);
        const std::string cycle = i < kBezelUnitCount ? "BCA" : "BA";
        const std::string& got = letters[pid];
        for (std::size_t n = 0; n < got.size(); ++n) {
            ASSERT_EQ(got[n], cycle[n % cycle.size()]) << "at write " << n;
        }
        const double rate = static_cast<double>(got.size()) / seconds;
        // About 30 a second; wide bounds for a loaded machine or a sanitizer.
        EXPECT_GT(rate, 8.0);
        EXPECT_LT(rate, 40.0);
    }
}

}  // namespace
}  // namespace qel::test
