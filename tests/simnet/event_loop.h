#pragma once

#include <chrono>

#include <QEventLoop>
#include <QTimer>

namespace qel::test {

// Runs the event loop until done() or the time is up; true when done. Sleeps between events,
// so that a peer process (fgfs) gets the processor.
template <typename Done>
bool RunUntil(Done done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        QEventLoop loop;
        QTimer::singleShot(std::chrono::milliseconds(10), &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

}  // namespace qel::test
