#pragma once

#include <functional>
#include <memory>

#include <QAbstractNativeEventFilter>
#include <QObject>

class QSocketNotifier;
class QWidget;

namespace qel {

// Ends the program the way the main window's close box does when it is ended from outside:
// SIGTERM, SIGINT or SIGHUP, or the window system destroying the main window. Every open
// dialog is closed first, then the main window. Main thread only; lives as long as the window.
class ShutdownWatch final : public QObject, public QAbstractNativeEventFilter {
public:
    explicit ShutdownWatch(QWidget& mainWindow);
    ~ShutdownWatch() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void CloseEverything();

    QWidget& MainWindow;
    std::unique_ptr<QSocketNotifier> Signals;
    bool Closing = false;
};

}  // namespace qel
