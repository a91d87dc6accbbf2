#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkDatagram>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>
#include <QUrlQuery>
#include <QWebSocket>
#include <QWebSocketServer>

// X-Plane's network side faked on 127.0.0.1, and a bounded wait on the event loop.
namespace qel::test {

inline QCoreApplication& Application() {
    static int argc = 1;
    static char name[] = "simnet_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* application = new QCoreApplication(argc, argv);
    return *application;
}

// Runs the event loop until done() holds; false when it still does not after timeout.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const QDeadlineTimer deadline(timeout);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

// X-Plane's UDP port: keeps every datagram, with the time it came.
struct FakeUdpXPlane {
    FakeUdpXPlane() {
        Socket.bind(QHostAddress::LocalHost, 0);
        QObject::connect(&Socket, &QUdpSocket::readyRead, [this] {
            while (Socket.hasPendingDatagrams()) {
                Datagrams.push_back(Socket.receiveDatagram().data());
                Arrivals.push_back(std::chrono::steady_clock::now());
            }
        });
    }
    QUdpSocket Socket;
    std::vector<QByteArray> Datagrams;
    std::vector<std::chrono::steady_clock::time_point> Arrivals;
};

// X-Plane's Web API on one port, like X-Plane's: HTTP look-ups answered from Ids (a name not
// in it finds nothing), and a WebSocket that keeps every message and answers each with a
// successful result. Stop() goes away with every connection; Listen() comes back.
struct FakeWebXPlane {
    FakeWebXPlane() {
        QObject::connect(&Server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = Server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket] { Serve(*socket); });
            }
        });
        QObject::connect(&Sockets, &QWebSocketServer::newConnection, [this] {
            while (QWebSocket* client = Sockets.nextPendingConnection()) {
                Clients.emplace_back(client);
                QObject::connect(client, &QWebSocket::textMessageReceived,
                                 [this, client](const QString& text) { Answer(*client, text); });
            }
        });
    }
    bool Listen(quint16 port = 0) { return Server.listen(QHostAddress::LocalHost, port); }
    void Stop() {
        Server.close();
        for (const std::unique_ptr<QWebSocket>& client : Clients) {
            client->abort();
        }
    }
    void Answer(QWebSocket& client, const QString& text) {
        const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
        Messages.push_back(QJsonDocument(message).toJson(QJsonDocument::Compact));
        client.sendTextMessage(QStringLiteral(R"({"req_id":%1,"type":"result","success":true})")
                                   .arg(message["req_id"].toInteger()));
    }
    // A request is handled once its header is in; a WebSocket handshake goes to the socket
    // server untouched.
    void Serve(QTcpSocket& socket) {
        const QByteArray head = socket.peek(4096);
        if (!head.contains("\r\n\r\n")) {
            return;
        }
        if (head.toLower().contains("upgrade: websocket")) {
            QObject::disconnect(&socket, &QTcpSocket::readyRead, nullptr, nullptr);
            Sockets.handleConnection(&socket);
            return;
        }
        const QUrlQuery query(QUrl(QString::fromLatin1(socket.readAll().split(' ').value(1))));
        const QString name = query.queryItemValue("filter[name]", QUrl::FullyDecoded);
        LookedUp.push_back(name);
        const auto id = Ids.find(name);
        const QByteArray body =
            id == Ids.end() ? QByteArray(R"({"data":[]})")
                            : QStringLiteral(R"({"data":[{"id":%1,"name":"%2","description":""}]})")
                                  .arg(id->second)
                                  .arg(name)
                                  .toUtf8();
        socket.write(
            "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n"
            "Content-Length: " +
            QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket.disconnectFromHost();
    }

    std::map<QString, qint64> Ids;
    std::vector<QString> LookedUp;
    std::vector<QByteArray> Messages;  // each as compact JSON, keys in order
    QTcpServer Server;
    QWebSocketServer Sockets{QStringLiteral("fake X-Plane"), QWebSocketServer::NonSecureMode};
    std::vector<std::unique_ptr<QWebSocket>> Clients;
};

}  // namespace qel::test
