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
        if (!error.empty() && !error.starts_with("(no reply")) {
            return "the FG1000 did not load: " + error;
        }
        if (Get("/test/fg1000-ready") == "1") {
            return {};
        }
    }
    return "no FG1000 within " + std::to_string(limit.count()) + " s:\n" + LogTail();
}

std::vector<std::string> FgfsSession::Get(const std::vector<std::string>& paths) {
    std::vector<std::string> lines;
    for (const std::string& path : paths) {
        lines.push_back("get " + path);
    }
    std::vector<std::string> values = Ask(lines);
    // "PATH = 'VALUE' (TYPE)"
    for (std::string& value : values) {
        const auto open = value.find('\'');
        const auto close = value.rfind('\'');
        value = open == std::string::npos || close == open
                    ? "(no reply)"
                    : value.substr(open + 1, close - open - 1);
    }
    return values;
}

void FgfsSession::Set(const std::vector<std::pair<std::string, std::string>>& values) {
    std::vector<std::string> lines;
    for (const auto& [path, value] : values) {
        lines.push_back("set " + path + " " + value);
    }
    static_cast<void>(Ask(lines));
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

std::vector<std::string> FgfsSession::Ask(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line + "\r\n";
    }
    Props.write(bytes.data(), static_cast<qint64>(bytes.size()));
    std::vector<std::string> replies;
    std::string received;
    const auto end = std::chrono::steady_clock::now() + 30s;
    while (replies.size() < lines.size()) {
        if (const auto prompt = received.find("/> "); prompt != std::string::npos) {
            replies.push_back(received.substr(0, prompt));
            received.erase(0, prompt + 3);
        } else if (std::chrono::steady_clock::now() > end ||
                   Props.state() != QAbstractSocket::ConnectedState) {
            replies.resize(lines.size());
        } else if (Props.waitForReadyRead(1000)) {
            received += Props.readAll().toStdString();
        }
    }
    return replies;
}

std::string FgfsSession::LogTail() const {
    std::ifstream file(LogPath);
    std::stringstream text;
    text << file.rdbuf();
    const std::string all = text.str();
    return all.size() > 3000 ? all.substr(all.size() - 3000) : all;
}

}  // namespace qel::test
