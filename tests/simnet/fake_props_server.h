#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include <QTcpServer>
#include <QTcpSocket>

#include "event_loop.h"

namespace qel::test {

// FlightGear's props server as far as a client sees it, on 127.0.0.1: keeps every line, and
// answers each with Reply (a `get` with a version) and the prompt, or holds its answers.
class FakePropsServer {
public:
    struct Line {
        std::string Text;
        std::chrono::steady_clock::time_point At;
    };

    FakePropsServer() {
        QObject::connect(&Server, &QTcpServer::newConnection, [this] {
            Peer = Server.nextPendingConnection();
            Pending.clear();
            Answered = Lines.size();
            QObject::connect(Peer, &QTcpSocket::readyRead, [this] { Read(); });
        });
        Listen(0);
    }
    void Listen(std::uint16_t port) { Server.listen(QHostAddress::LocalHost, port); }
    [[nodiscard]] std::uint16_t Port() const { return Server.serverPort(); }
    // Stops listening and drops the client.
    void Close() {
        Server.close();
        if (Peer != nullptr) {
            Peer->close();
        }
    }
    void AnswerWaiting() {
        std::string bytes;
        for (; Answered < Lines.size(); ++Answered) {
            const std::string& line = Lines[Answered].Text;
            bytes += line.starts_with("get ")
                         ? line.substr(4) + " = '2020.3.16' (string)"
                         : (line.find(FailWith) == 0 ? "*failed*" : "<completed>");
            bytes += "\r\n/> ";
        }
        Peer->write(bytes.data(), static_cast<qint64>(bytes.size()));
    }

    std::vector<Line> Lines;
    bool Answering = true;
    std::string FailWith = "\x01";  // lines starting with this fail

private:
    void Read() {
        Pending += Peer->readAll().toStdString();
        for (std::size_t end; (end = Pending.find("\r\n")) != std::string::npos;
             Pending.erase(0, end + 2)) {
            Lines.push_back({Pending.substr(0, end), std::chrono::steady_clock::now()});
        }
        if (Answering) {
            AnswerWaiting();
        }
    }

    QTcpServer Server;
    QTcpSocket* Peer = nullptr;
    std::string Pending;
    std::size_t Answered = 0;
};

}  // namespace qel::test
