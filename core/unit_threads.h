#pragma once

#include <array>
#include <functional>
#include <memory>

#include "core/audiothread.h"
#include "core/device.h"
#include "core/g1000thread.h"
#include "translate/catalogue.h"

namespace qel {

// By unit index.
using AudioThreadSet = std::array<std::unique_ptr<TAudioThread>, kAudioUnitCount>;
using G1000ThreadSet = std::array<std::unique_ptr<TG1000Thread>, kBezelUnitCount>;

// Starts the six pollers in the order audio unit 0, 1, then bezel unit 0 to 3: each made
// suspended, stored, raised one priority step, given its unit, enabled and resumed. Threads
// already started are left running. closeRequest is called on a worker thread when it ends;
// it must only queue. Main thread.
void StartUnitThreads(TDeviceDM& device, AudioThreadSet& audioThreads, G1000ThreadSet& g1000Threads,
                      const std::function<void()>& closeRequest);

// Clears every thread's Enabled, then waits until each has ended. Harmless when none runs.
void StopUnitThreads(AudioThreadSet& audioThreads, G1000ThreadSet& g1000Threads);

// True while any of the six is still cycling.
[[nodiscard]] bool AnyUnitThreadRunning(const AudioThreadSet& audioThreads,
                                        const G1000ThreadSet& g1000Threads);

}  // namespace qel
