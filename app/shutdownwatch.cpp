#include "app/shutdownwatch.h"

#include <QApplication>
#include <QMetaObject>
#include <QSocketNotifier>
#include <QWidget>

#include "platform/quit_signals.h"

#if QEL_DISPLAY_SERVER
#include <xcb/xcb.h>
#endif

namespace qel {

ShutdownWatch::ShutdownWatch(QWidget& mainWindow) : MainWindow(mainWindow) {
    if (const std::optional<int> descriptor = WatchQuitSignals()) {
        Signals = std::make_unique<QSocketNotifier>(*descriptor, QSocketNotifier::Read);
        connect(Signals.get(), &QSocketNotifier::activated, this, [this] {
            Signals->setEnabled(false);
            CloseEverything();
        });
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
}

ShutdownWatch::~ShutdownWatch() {
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool ShutdownWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
#if QEL_DISPLAY_SERVER
    // The window system took the main window away (another client destroyed it): without its
    // window the program would run on unseen, so it closes as if the close box was used.
    if (eventType == "xcb_generic_event_t" && !Closing) {
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) == XCB_DESTROY_NOTIFY) {
            const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
            if (MainWindow.testAttribute(Qt::WA_WState_Created) &&
                destroyed->window == static_cast<xcb_window_t>(MainWindow.winId())) {
                // Not inside the window system's event handling.
                QMetaObject::invokeMethod(this, &ShutdownWatch::CloseEverything,
                                          Qt::QueuedConnection);
            }
        }
    }
#else
    static_cast<void>(eventType);
    static_cast<void>(message);
#endif
    return false;
}

void ShutdownWatch::CloseEverything() {
    if (Closing) {
        return;
    }
    Closing = true;
    // A modal dialog's own loop would otherwise keep the program waiting for an answer.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        if (QApplication::activeModalWidget() == modal) {
            modal->hide();
        }
    }
    MainWindow.close();
}

}  // namespace qel
