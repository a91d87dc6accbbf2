#include "offscreen_app.h"

#include <utility>

#include <QWidget>

namespace qel::test {

QApplication& OffscreenApplication() {
    static int argc = 1;
    static char name[] = "dialogs_gui_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the tests' widgets are gone before exit, and Qt dislikes a
    // QApplication torn down among static destructors.
    static QApplication* application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *application;
}

ModalScript::ModalScript(std::function<void()> action) {
    QTimer::singleShot(0, std::move(action));
    Watchdog->setSingleShot(true);
    Watchdog->setInterval(5000);
    QObject::connect(Watchdog.get(), &QTimer::timeout, [flag = TimedOutFlag] {
        *flag = true;
        while (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    Watchdog->start();
}

}  // namespace qel::test

// Fontconfig keeps its caches until exit by design; LeakSanitizer (sanitizer builds only)
// is told so, and still reports every leak of ours.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
