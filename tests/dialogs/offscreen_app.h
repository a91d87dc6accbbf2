#pragma once

#include <functional>
#include <memory>

#include <QApplication>
#include <QTimer>

namespace qel::test {

// The one QApplication of a test program, on the offscreen platform so that no display is
// needed. Created at the first call.
QApplication& OffscreenApplication();

// Runs action from the event loop of the modal dialog shown next. Should the dialog still be
// up after a generous time (a capture that failed to close it), every modal dialog is closed
// so the test fails instead of hanging. The guard ends with this object.
class ModalScript {
public:
    explicit ModalScript(std::function<void()> action);
    [[nodiscard]] bool TimedOut() const { return *TimedOutFlag; }

private:
    std::shared_ptr<bool> TimedOutFlag = std::make_shared<bool>(false);
    std::unique_ptr<QTimer> Watchdog = std::make_unique<QTimer>();
};

}  // namespace qel::test
