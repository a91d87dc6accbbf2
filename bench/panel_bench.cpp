// Two figures of the panel link, with the real notification path:
//
// ReportToKeystrokeLatency: six virtual units each send 1,000 input reports a second
// (alternating press and release of one bound button) from their own thread. Each report goes
// through the virtual back end's read notification, the program's notification queue, the HID
// notification handling, DecodeReport and SendKey to a key injector that timestamps the key
// down. Counters: latency percentiles in microseconds from the report entering the back end.
//
// IdleWorkerCpu: the six worker threads run for 10 s with no unit connected (and then with all
// six connected to virtual panels); counter: process CPU time as a percentage of one core.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "percentile.h"
#include "main_queue.h"
#include "core/audiothread.h"
#include "core/device.h"
#include "core/g1000thread.h"
#include "core/hidhook.h"
#include "hid/virtual_library.h"
#include "translate/keygate.h"
#include "translate/translator.h"
#include "translate/units.h"
#include "translate/us_layout.h"

namespace {

using namespace qel;
using Clock = std::chrono::steady_clock;

constexpr int kReportsPerSecond = 1000;
constexpr auto kLatencyRun = std::chrono::seconds(4);
constexpr int kMaxPresses = kReportsPerSecond * 10;

class DiscardingLog final : public LogSink {
public:
    void AppendLine(std::string_view line) override { benchmark::DoNotOptimize(line.data()); }
};

// Unit u's button is bound to virtual key 'A' + u; its presses are matched in order.
struct PressTimes {
    std::array<std::array<std::atomic<std::int64_t>, kMaxPresses>, kDeviceCount> Sent{};
    std::array<int, kDeviceCount> Matched{};
    std::vector<double> LatenciesUs;
};

class TimingInjector final : public KeyInjector {
public:
    explicit TimingInjector(PressTimes& times) : Times(times) {}
    void KeyEvent(std::uint8_t virtualKey, bool down) override {
        if (!down || virtualKey < 'A' || virtualKey >= 'A' + kDeviceCount) {
            return;
        }
        const auto now = Clock::now().time_since_epoch().count();
        const int unit = virtualKey - 'A';
        const int press = Times.Matched[static_cast<std::size_t>(unit)]++;
        const auto sent =
            Times.Sent[static_cast<std::size_t>(unit)][static_cast<std::size_t>(press)].load();
        Times.LatenciesUs.push_back(
            std::chrono::duration<double, std::micro>(Clock::duration(now - sent)).count());
    }

private:
    PressTimes& Times;
};

// softkey_1 (button 13) on a bezel unit in a 0xC1 report; com1 (button 13) on an audio unit in
// 0xC2.
std::vector<std::uint8_t> ButtonReport(UnitId unit, bool pressed) {
    const bool bezel = unit.Kind == UnitKind::Bezel;
    std::vector<std::uint8_t> report{0, bezel ? kReportC1 : kReportC2, 0, 0, 0, 0, 0, 0};
    report[3] = pressed ? 0x20 : 0x00;
    return report;
}

using qel::bench::Percentile;

void ReportToKeystrokeLatency(benchmark::State& state) {
    for (auto _ : state) {
        auto times = std::make_unique<PressTimes>();
        UnitStates units;
        AssignCatalogueNames(units);
        for (int u = 0; u < kBezelUnitCount; ++u) {
            units.BezelUnits[static_cast<std::size_t>(u)].Buttons[13].Key = 'A' + u;
        }
        for (int u = 0; u < kAudioUnitCount; ++u) {
            units.AudioUnits[static_cast<std::size_t>(u)].Buttons[13].Key =
                'A' + kBezelUnitCount + u;
        }
        TimingInjector injector(*times);
        DiscardingLog log;
        FlagKeyGate gate;
        const UsEnglishLayout layout;
        InputTranslator translator(units, injector, log, gate, layout);

        bench::MainQueue queue;
        auto library = std::make_unique<VirtualPanels>();
        VirtualPanels& panels = *library;
        TDeviceDM device(std::move(library), queue.Poster());
        struct NoView final : DeviceStatusView {
            void SetUnitCaption(UnitId, std::string_view) override {}
            void SetConnectedText(std::string_view) override {}
        } view;
        HidHook hook(device, view, [&](UnitId unit, ReceiveBuffer buffer) {
            translator.DecodeReport(unit, buffer);
        });

        for (int i = 0; i < kDeviceCount; ++i) {
            panels.Plug(kFirstBezelProductId + i);
        }
        const auto handle = [&](const HidNotification& n) { hook.HidMessageHook(n); };
        while (hook.ConnectedCount < kDeviceCount) {
            queue.HandleWith(handle);
        }

        std::atomic<bool> stop{false};
        std::vector<std::thread> units6;
        for (int i = 0; i < kDeviceCount; ++i) {
            units6.emplace_back([&, i] {
                const UnitId unit = kUnits[static_cast<std::size_t>(i)].Id;
                const auto press = ButtonReport(unit, true);
                const auto release = ButtonReport(unit, false);
                auto next = Clock::now();
                for (int n = 0; !stop && n / 2 < kMaxPresses; ++n) {
                    next += std::chrono::microseconds(1'000'000 / kReportsPerSecond);
                    std::this_thread::sleep_until(next);
                    if (n % 2 == 0) {
                        times->Sent[static_cast<std::size_t>(i)][static_cast<std::size_t>(n / 2)] =
                            Clock::now().time_since_epoch().count();
                        panels.SendReport(kFirstBezelProductId + i, press);
                    } else {
                        panels.SendReport(kFirstBezelProductId + i, release);
                    }
                }
            });
        }
        const auto end = Clock::now() + kLatencyRun;
        while (Clock::now() < end) {
            queue.HandleWith(handle);
        }
        stop = true;
        for (auto& t : units6) {
            t.join();
        }
        state.counters["reports"] = hook.ReadCount;
        state.counters["dropped"] = static_cast<double>(queue.DroppedReports());
        state.counters["samples"] = static_cast<double>(times->LatenciesUs.size());
        state.counters["p50_us"] = Percentile(times->LatenciesUs, 0.50);
        state.counters["p99_us"] = Percentile(times->LatenciesUs, 0.99);
        state.counters["p999_us"] = Percentile(times->LatenciesUs, 0.999);
        state.counters["max_us"] = Percentile(times->LatenciesUs, 1.0);
        device.Disconnect();
    }
}
BENCHMARK(ReportToKeystrokeLatency)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void IdleWorkerCpu(benchmark::State& state) {
    const bool connected = state.range(0) != 0;
    for (auto _ : state) {
        auto library = std::make_unique<VirtualPanels>();
        VirtualPanels& panels = *library;
        TDeviceDM device(std::move(library), [](const HidNotification&) {});
        if (connected) {
            for (int i = 0; i < kDeviceCount; ++i) {
                device.Handles[static_cast<std::size_t>(i)] = panels.Plug(kFirstBezelProductId + i);
            }
        }
        std::vector<std::unique_ptr<PanelWorker>> workers;
        for (int u = 0; u < kAudioUnitCount; ++u) {
            workers.push_back(std::make_unique<TAudioThread>(device, nullptr));
            workers.back()->UnitIndex = u;
        }
        for (int u = 0; u < kBezelUnitCount; ++u) {
            workers.push_back(std::make_unique<TG1000Thread>(device, nullptr));
            workers.back()->UnitIndex = u;
        }
        const double cpuBefore = ProcessCpuSeconds();
        const auto wallBefore = Clock::now();
        for (auto& worker : workers) {
            worker->SetPriorityAboveNormal();
            worker->Enabled = true;
            worker->Resume();
        }
        std::this_thread::sleep_for(std::chrono::seconds(10));
        std::vector<PanelWorker*> raw;
        for (auto& worker : workers) {
            raw.push_back(worker.get());
        }
        StopWorkers(raw);
        const double cpu = ProcessCpuSeconds() - cpuBefore;
        const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
        state.counters["cpu_percent_of_core"] = 100.0 * cpu / wall;
        state.counters["writes"] = static_cast<double>(panels.WriteCount());
        device.Disconnect();
    }
}
BENCHMARK(IdleWorkerCpu)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
