#pragma once

#include <chrono>
#include <functional>

#include <QObject>

#include "simlink/scheduler.h"

namespace qel {

// Runs tasks later from the Qt event loop of the main thread. A task still waiting when the
// scheduler goes is dropped, so a task never outlives what it was given.
class QtScheduler final : public Scheduler {
public:
    void After(std::chrono::milliseconds delay, std::function<void()> task) override;

private:
    QObject Context;
};

}  // namespace qel
