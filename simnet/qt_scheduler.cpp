#include "simnet/qt_scheduler.h"

#include <utility>

#include <QTimer>

namespace qel {

void QtScheduler::After(std::chrono::milliseconds delay, std::function<void()> task) {
    // Precise: a held key's timing is measured in tens of milliseconds.
    QTimer::singleShot(delay, Qt::PreciseTimer, &Context, std::move(task));
}

}  // namespace qel
