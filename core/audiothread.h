#pragma once

#include <functional>

#include "core/panel_worker.h"

namespace qel {

// The poller of audio unit UnitIndex (0-1): commands 'A', 'B' by phase 0, 1, so the unit
// receives 'B', 'A', 'B', ... one every 33 ms.
class TAudioThread final : public PanelWorker {
public:
    TAudioThread(TDeviceDM& device, std::function<void()> closeRequest,
                 WorkerTiming timing = WorkerTiming::Real());
};

}  // namespace qel
