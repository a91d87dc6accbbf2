#include "core/g1000thread.h"

#include <utility>

namespace qel {
namespace {

constexpr int kBezelCycleLength = 3;

void SendBezelPhase(TDeviceDM& device, UnitId unit, int phase) {
    if (phase == 0) {
        device.SendG1000A(unit);
    } else {
        device.SendG1000B(unit, phase - 1);
    }
}

}  // namespace

TG1000Thread::TG1000Thread(TDeviceDM& device, std::function<void()> closeRequest,
                           WorkerTiming timing)
    : PanelWorker(UnitKind::Bezel, kBezelCycleLength, &SendBezelPhase, device,
                  std::move(closeRequest), std::move(timing)) {}

}  // namespace qel
