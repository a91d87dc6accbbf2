#include "core/unit_threads.h"

#include <vector>

namespace qel {

namespace {

template <typename Thread, std::size_t Count>
void StartSet(TDeviceDM& device, std::array<std::unique_ptr<Thread>, Count>& threads,
              const std::function<void()>& closeRequest) {
    for (std::size_t unit = 0; unit < Count; ++unit) {
        if (threads[unit]) {
            continue;
        }
        threads[unit] = std::make_unique<Thread>(device, closeRequest);
        Thread& thread = *threads[unit];
        thread.SetPriorityAboveNormal();
        thread.UnitIndex = static_cast<std::int32_t>(unit);
        thread.Enabled = true;
        thread.Resume();
    }
}

template <typename Thread, std::size_t Count>
void Collect(std::vector<PanelWorker*>& workers,
             std::array<std::unique_ptr<Thread>, Count>& threads) {
    for (auto& thread : threads) {
        if (thread) {
            workers.push_back(thread.get());
        }
    }
}

}  // namespace

void StartUnitThreads(TDeviceDM& device, AudioThreadSet& audioThreads, G1000ThreadSet& g1000Threads,
                      const std::function<void()>& closeRequest) {
    StartSet(device, audioThreads, closeRequest);
    StartSet(device, g1000Threads, closeRequest);
}

void StopUnitThreads(AudioThreadSet& audioThreads, G1000ThreadSet& g1000Threads) {
    std::vector<PanelWorker*> workers;
    Collect(workers, audioThreads);
    Collect(workers, g1000Threads);
    // All six are told first, so their last cycles overlap instead of adding up.
    StopWorkers(workers);
}

bool AnyUnitThreadRunning(const AudioThreadSet& audioThreads, const G1000ThreadSet& g1000Threads) {
    for (const auto& thread : audioThreads) {
        if (thread && thread->Running) {
            return true;
        }
    }
    for (const auto& thread : g1000Threads) {
        if (thread && thread->Running) {
            return true;
        }
    }
    return false;
}

}  // namespace qel
