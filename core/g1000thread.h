#pragma once

#include <functional>

#include "core/panel_worker.h"

namespace qel {

// The poller of bezel unit UnitIndex (0-3): commands 'A', 'B', 'C' by phase 0, 1, 2, so the
// unit receives 'B', 'C', 'A', 'B', ... one every 33 ms.
class TG1000Thread final : public PanelWorker {
public:
    TG1000Thread(TDeviceDM& device, std::function<void()> closeRequest,
                 WorkerTiming timing = WorkerTiming::Real());
};

}  // namespace qel
