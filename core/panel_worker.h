#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <thread>

#include "core/device.h"

namespace qel {

// The 32-bit millisecond tick and the sleep a worker runs on; tests inject their own.
struct WorkerTiming {
    std::function<std::uint32_t()> TickCount;  // wraps every 49.7 days
    std::function<void(std::uint32_t milliseconds)> Sleep;
    // The system's tick and sleep (GetTickCount and Sleep on Windows).
    [[nodiscard]] static WorkerTiming Real();
};

// How long a cycle sleeps after its write took elapsed ms (unsigned difference of two ticks,
// so right across the wrap): Period - 1 - elapsed taken as a signed 32-bit number, clamped to
// 0..Period.
[[nodiscard]] std::uint32_t CycleWait(std::int32_t period, std::uint32_t elapsed);

// One unit's poller: every Period ms it writes the next command of its cycle to its unit
// through the device module. Created suspended; the creator sets UnitIndex and Enabled, may
// ask for a raised priority, then calls Resume. The cycle ends only when Enabled goes false;
// the thread then sets Running to false and calls the close request once.
class PanelWorker {
public:
    static constexpr std::int32_t kPeriodMs = 33;

    PanelWorker(const PanelWorker&) = delete;
    PanelWorker& operator=(const PanelWorker&) = delete;
    // Clears Enabled and waits for the thread.
    ~PanelWorker();

    std::atomic<bool> Enabled{false};        // written by the creator, read once per cycle
    std::atomic<bool> Running{false};        // written by the worker only
    std::atomic<std::int32_t> Period{0};     // ms; the worker sets it to 33 when it starts
    std::atomic<std::int32_t> UnitIndex{0};  // among the units of the worker's kind

    // Before Resume: the thread runs one step above normal priority. Best effort; see
    // PriorityRaised once the thread has started.
    void SetPriorityAboveNormal() { WantRaisedPriority = true; }
    // Starts the thread. Only the first call does anything.
    void Resume();
    // Blocks until the thread has ended (returns at once if it never started). Clear Enabled first.
    void WaitUntilStopped();
    // Clears Enabled and waits.
    void Stop();

    // True when the raised priority was granted.
    [[nodiscard]] bool PriorityRaised() const { return Raised.load(); }

protected:
    // Writes the command of phase (0 .. cycleLength-1) for unit.
    using SendPhaseFunction = void (*)(TDeviceDM& device, UnitId unit, int phase);
    // kind: the units the worker serves, UnitIndex numbering them. closeRequest is called on the
    // worker thread when its cycle ends; it must only queue the request for the main thread
    // (the WM_CLOSE of the main window).
    PanelWorker(UnitKind kind, int cycleLength, SendPhaseFunction send, TDeviceDM& device,
                std::function<void()> closeRequest, WorkerTiming timing);

private:
    void Execute();

    const UnitKind Kind;
    const int CycleLength;
    const SendPhaseFunction SendPhase;
    TDeviceDM& Device;
    const std::function<void()> CloseRequest;
    const WorkerTiming Timing;
    bool WantRaisedPriority = false;
    std::atomic<bool> Raised{false};
    std::thread Thread;
};

// Shutdown: clears Enabled on every worker first, so they wind down together, then waits for each.
void StopWorkers(std::span<PanelWorker* const> workers);

}  // namespace qel
