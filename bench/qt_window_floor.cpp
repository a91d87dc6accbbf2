// The floor under the program's start-up and memory figures: an empty Qt Widgets main window
// of the program's size, with a menu bar, a label and a status bar, and nothing else.
// scripts/perf-report starts it the way it starts the program and reports both.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Qt window floor"));
    window.menuBar()->addMenu(QStringLiteral("&File"));
    window.setCentralWidget(new QLabel(QStringLiteral("empty")));
    window.statusBar()->showMessage(QStringLiteral("ready"));
    window.setFixedSize(629, 560);
    window.show();
    return QApplication::exec();
}
