#include "fgfs_session.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <QTcpServer>

namespace qel::test {

using namespace std::chrono_literals;

FgfsSession::FgfsSession() {
    // A port nobody listens on now.
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    PropsPort = probe.serverPort();
    LogPath = std::string(std::getenv("QEL_FGFS_LOG") ? std::getenv("QEL_FGFS_LOG") : "fgfs.log");
}

FgfsSession::~FgfsSession() {
    if (Props.state() == QAbstractSocket::ConnectedState) {
        Props.write("quit\r\n");
        Props.waitForBytesWritten(1000);
    }
    if (Fgfs.state() != QProcess::NotRunning) {
        Fgfs.terminate();  // the script ends fgfs and its X server
        if (!Fgfs.waitForFinished(15000)) {
            Fgfs.kill();
            Fgfs.waitForFinished(5000);
        }
    }
}

std::string FgfsSession::Start(std::chrono::seconds limit) {
    const char* script = std::getenv("QEL_RUN_FGFS");
    if (script == nullptr) {
        return "QEL_RUN_FGFS is not set";
    }
    Fgfs.setStandardOutputFile(QString::fromStdString(LogPath));
    Fgfs.setProcessChannelMode(QProcess::MergedChannels);
    Fgfs.start("bash", {script, QString::number(PropsPort)});
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (Fgfs.waitForFinished(500)) {
            return "fgfs ended with status " + std::to_string(Fgfs.exitCode()) + ":\n" + LogTail();
        }
        if (Props.state() != QAbstractSocket::ConnectedState) {
            Props.connectToHost("127.0.0.1", PropsPort);
            if (!Props.waitForConnected(1000)) {
                Props.abort();
                continue;
            }
        }
        const std::string error = Get("/test/fg1000-error");
        if (!error.empty() && !error.starts_with("(error")) {
            return "the FG1000 did not load: " + error;
        }
        if (Get("/test/fg1000-ready") == "1") {
            return {};
        }
    }
    return "no FG1000 within " + std::to_string(limit.count()) + " s:\n" + LogTail();
}

std::string FgfsSession::Get(const std::string& path) {
    // "PATH = 'VALUE' (TYPE)"
    const std::string reply = Ask("get " + path);
    const auto open = reply.find('\'');
    const auto close = reply.rfind('\'');
    if (open == std::string::npos || close == open) {
        return "(error: " + reply + ")";
    }
    return reply.substr(open + 1, close - open - 1);
}

void FgfsSession::Set(const std::string& path, const std::string& value) {
    static_cast<void>(Ask("set " + path + " " + value));
}

int FgfsSession::Exit(std::chrono::seconds limit) {
    Props.write("run exit\r\n");
    Props.write("quit\r\n");
    Props.waitForBytesWritten(1000);
    Props.abort();
    if (!Fgfs.waitForFinished(static_cast<int>(limit.count() * 1000))) {
        return -1;
    }
    return Fgfs.exitCode();
}

std::string FgfsSession::Ask(const std::string& line) {
    const std::string bytes = line + "\r\n";
    Props.write(bytes.data(), static_cast<qint64>(bytes.size()));
    std::string reply;
    const auto end = std::chrono::steady_clock::now() + 30s;
    while (reply.find("/> ") == std::string::npos) {
        if (std::chrono::steady_clock::now() > end ||
            Props.state() != QAbstractSocket::ConnectedState) {
            return "(no reply)";
        }
        if (Props.waitForReadyRead(1000)) {
            reply += Props.readAll().toStdString();
        }
    }
    return reply.substr(0, reply.find("/> "));
}

std::string FgfsSession::LogTail() const {
    std::ifstream file(LogPath);
    std::stringstream text;
    text << file.rdbuf();
    const std::string all = text.str();
    return all.size() > 3000 ? all.substr(all.size() - 3000) : all;
}

}  // namespace qel::test
