// The floor under the report-to-keystroke latency: the same threads and timing as
// panel_bench's ReportToKeystrokeLatency (six sender threads at 1,000 messages a second each,
// one receiving thread waiting on a condition variable), with nothing on the path but a locked
// queue. What it measures is how long this machine takes to wake a waiting thread.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "percentile.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSenders = 6;
constexpr auto kPeriod = std::chrono::microseconds(1000);
constexpr auto kRun = std::chrono::seconds(4);

using qel::bench::Percentile;

void ThreadWakeLatency(benchmark::State& state) {
    for (auto _ : state) {
        std::mutex mutex;
        std::condition_variable ready;
        std::deque<Clock::time_point> pending;
        std::atomic<bool> stop{false};
        std::vector<double> latenciesUs;
        latenciesUs.reserve(static_cast<std::size_t>(kSenders) * 4500);

        std::vector<std::thread> senders;
        for (int i = 0; i < kSenders; ++i) {
            senders.emplace_back([&] {
                auto next = Clock::now();
                while (!stop) {
                    next += kPeriod;
                    std::this_thread::sleep_until(next);
                    {
                        std::lock_guard lock(mutex);
                        pending.push_back(Clock::now());
                    }
                    ready.notify_one();
                }
            });
        }
        std::deque<Clock::time_point> batch;
        const auto end = Clock::now() + kRun;
        while (Clock::now() < end) {
            {
                std::unique_lock lock(mutex);
                ready.wait_for(lock, std::chrono::milliseconds(5),
                               [&] { return !pending.empty(); });
                batch.swap(pending);
            }
            const auto now = Clock::now();
            for (const auto sent : batch) {
                latenciesUs.push_back(
                    std::chrono::duration<double, std::micro>(now - sent).count());
            }
            batch.clear();
        }
        stop = true;
        for (auto& t : senders) {
            t.join();
        }
        state.counters["samples"] = static_cast<double>(latenciesUs.size());
        state.counters["p50_us"] = Percentile(latenciesUs, 0.50);
        state.counters["p99_us"] = Percentile(latenciesUs, 0.99);
        state.counters["p999_us"] = Percentile(latenciesUs, 0.999);
        state.counters["max_us"] = Percentile(latenciesUs, 1.0);
    }
}
BENCHMARK(ThreadWakeLatency)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
