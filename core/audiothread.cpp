#include "core/audiothread.h"

#include <utility>

namespace qel {
namespace {

constexpr int kAudioCycleLength = 2;

void SendAudioPhase(TDeviceDM& device, UnitId unit, int phase) {
    if (phase == 0) {
        device.SendAudioA(unit);
    } else {
        device.SendAudioB(unit);
    }
}

}  // namespace

TAudioThread::TAudioThread(TDeviceDM& device, std::function<void()> closeRequest,
                           WorkerTiming timing)
    : PanelWorker(UnitKind::Audio, kAudioCycleLength, &SendAudioPhase, device,
                  std::move(closeRequest), std::move(timing)) {}

}  // namespace qel
