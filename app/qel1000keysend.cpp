// qel1000keysend: turns the QEL1000 bezel and audio panels into keystrokes.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include <QApplication>
#include <QMessageBox>

#include "app/displaycheck.h"
#include "app/program.h"
#include "app/shutdownwatch.h"

namespace {

// The program as the user can start it again: a path that works from any folder, or the bare
// name when it was found on the PATH.
std::string ProgramPath(const char* argv0) {
    const std::string given = argv0 != nullptr ? argv0 : "qel1000keysend";
    if (given.find('/') == std::string::npos) {
        return given;
    }
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::weakly_canonical(given, ignored);
    return absolute.empty() ? given : absolute.string();
}

}  // namespace

int main(int argc, char* argv[]) {
    // Qt aborts without a word a user would understand when it has no display.
    if (const auto problem = qel::DisplayProblem([](const char* name) { return std::getenv(name); },
                                                 qel::CanReachXDisplay, ProgramPath(argv[0]))) {
        std::fputs(problem->c_str(), stderr);
        return EXIT_FAILURE;
    }

    QApplication application(argc, argv);
    // The application's name, not a suffix of every window's caption: message boxes and the
    // task bar show it.
    QApplication::setApplicationName(QStringLiteral("G1000"));
    QApplication::setDesktopFileName(QStringLiteral("org.qel1000keysend.Keysend"));

    try {
        qel::Program program;
        const qel::ShutdownWatch shutdown(program.MainForm);
        program.MainForm.show();
        return application.exec();
    } catch (const std::exception& error) {
        // Nothing is meant to throw; if something does, the user sees it instead of a crash.
        QMessageBox::critical(nullptr, QApplication::applicationName(),
                              QString::fromLocal8Bit(error.what()));
        return EXIT_FAILURE;
    }
}
