// qel1000keysend: turns the QEL1000 bezel and audio panels into keystrokes.

#include <cstdio>
#include <cstdlib>
#include <exception>

#include <QApplication>
#include <QMessageBox>

#include "app/displaycheck.h"
#include "app/program.h"

int main(int argc, char* argv[]) {
    // Qt aborts without a word a user would understand when there is no display at all.
    if (const auto message =
            qel::MissingDisplayMessage([](const char* name) { return std::getenv(name); })) {
        std::fputs(message->c_str(), stderr);
        return EXIT_FAILURE;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qel1000keysend"));
    QApplication::setApplicationDisplayName(QStringLiteral("G1000"));
    QApplication::setDesktopFileName(QStringLiteral("org.qel1000keysend.Keysend"));

    try {
        qel::Program program;
        program.MainForm.show();
        return application.exec();
    } catch (const std::exception& error) {
        // Nothing is meant to throw; if something does, the user sees it instead of a crash.
        QMessageBox::critical(nullptr, QApplication::applicationDisplayName(),
                              QString::fromLocal8Bit(error.what()));
        return EXIT_FAILURE;
    }
}
