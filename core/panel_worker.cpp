#include "core/panel_worker.h"

#include <cassert>
#include <utility>

#include "platform/millisecond_clock.h"
#include "platform/thread_priority.h"

namespace qel {

WorkerTiming WorkerTiming::Real() {
    return WorkerTiming{platform::TickCount, platform::SleepMilliseconds};
}

std::uint32_t CycleWait(std::int32_t period, std::uint32_t elapsed) {
    // 32-bit wrap-around arithmetic on purpose: an "elapsed" that reads as negative (a tick
    // source that stepped back) yields a wait above Period, which the clamp catches.
    const auto wait = static_cast<std::int32_t>(static_cast<std::uint32_t>(period) - 1U - elapsed);
    if (wait > period) {
        return static_cast<std::uint32_t>(period);
    }
    return wait < 0 ? 0U : static_cast<std::uint32_t>(wait);
}

PanelWorker::PanelWorker(UnitKind kind, int cycleLength, SendPhaseFunction send, TDeviceDM& device,
                         std::function<void()> closeRequest, WorkerTiming timing)
    : Kind(kind),
      CycleLength(cycleLength),
      SendPhase(send),
      Device(device),
      CloseRequest(std::move(closeRequest)),
      Timing(std::move(timing)) {
    assert(cycleLength > 0 && send != nullptr && "a worker needs a command cycle");
}

PanelWorker::~PanelWorker() {
    Stop();
}

void PanelWorker::Resume() {
    if (!Thread.joinable()) {
        Thread = std::thread([this] { Execute(); });
    }
}

void PanelWorker::WaitUntilStopped() {
    if (Thread.joinable()) {
        Thread.join();
    }
}

void PanelWorker::Stop() {
    Enabled = false;
    WaitUntilStopped();
}

void PanelWorker::Execute() {
    if (WantRaisedPriority) {
        Raised = platform::RaiseCurrentThreadPriority();
    }
    Period = kPeriodMs;
    Running = true;
    int phase = 0;
    while (Enabled) {
        const std::uint32_t start = Timing.TickCount();
        // Advanced before the write, so the first command is the cycle's second letter.
        phase = phase + 1 >= CycleLength ? 0 : phase + 1;
        SendPhase(Device, UnitId{Kind, UnitIndex}, phase);
        const std::uint32_t elapsed = Timing.TickCount() - start;
        Timing.Sleep(CycleWait(Period, elapsed));
    }
    Running = false;
    if (CloseRequest) {
        CloseRequest();
    }
}

void StopWorkers(std::span<PanelWorker* const> workers) {
    for (PanelWorker* worker : workers) {
        worker->Enabled = false;
    }
    for (PanelWorker* worker : workers) {
        worker->WaitUntilStopped();
    }
}

}  // namespace qel
