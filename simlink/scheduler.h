#pragma once

#include <chrono>
#include <functional>

namespace qel {

// Runs a task later on the main thread (a Qt single-shot timer in the program, a hand-moved
// clock in tests). Tasks cannot be cancelled: a task checks whether it still applies.
class Scheduler {
public:
    virtual ~Scheduler() = default;
    virtual void After(std::chrono::milliseconds delay, std::function<void()> task) = 0;
};

}  // namespace qel
