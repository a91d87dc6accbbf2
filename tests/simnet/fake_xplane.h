#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <set>
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

inline void StartApplication() {
    static int argc = 1;
    static char* argv[] = {const_cast<char*>("simnet_tests"), nullptr};
    // One application per process: a test main of its own may have made it already.
    if (QCoreApplication::instance() == nullptr) {
        static QCoreApplication application(argc, argv);
    }
}

// Runs the event loop until done() holds; false when it still does not after timeout.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const QDeadlineTimer deadline(timeout);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return done();
}

// X-Plane's UDP port: keeps every datagram.
struct FakeUdpXPlane {
    FakeUdpXPlane() {
        Socket.bind(QHostAddress::LocalHost, 0);
        QObject::connect(&Socket, &QUdpSocket::readyRead, [this] {
            while (Socket.hasPendingDatagrams()) {
                Datagrams.push_back(Socket.receiveDatagram().data());
            }
        });
    }
    QUdpSocket Socket;
    std::vector<QByteArray> Datagrams;
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
                client->setParent(&Sockets);
                QObject::connect(client, &QWebSocket::textMessageReceived,
                                 [this, client](const QString& text) { Answer(*client, text); });
            }
        });
    }
    bool Listen(quint16 port = 0) { return Server.listen(QHostAddress::LocalHost, port); }
    void Stop() {
        Server.close();
        for (QWebSocket* client : Sockets.findChildren<QWebSocket*>()) {
            client->abort();
        }
    }
    void Answer(QWebSocket& client, const QString& text) {
        const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
        Messages.push_back(QJsonDocument(message).toJson(QJsonDocument::Compact));
        client.sendTextMessage(QStringLiteral(R"({"req_id":%1,"type":"result","success":true})")
                                   .arg(message["req_id"].toInteger()));
    }
    // Once a request's header is in: a look-up is answered, a WebSocket handshake goes on.
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
        LookedUp.insert(name);
        const QString entry =
            Ids.contains(name)
                ? QStringLiteral(R"({"id":%1,"name":"%2"})").arg(Ids.at(name)).arg(name)
                : QString();
        const QByteArray body = (R"({"data":[)" + entry + "]}").toUtf8();
        socket.write("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: " +
                     QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket.disconnectFromHost();
    }

    std::map<QString, qint64> Ids;
    std::set<QString> LookedUp;
    std::vector<QByteArray> Messages;  // each as compact JSON, keys in order
    QTcpServer Server;
    QWebSocketServer Sockets{QStringLiteral("fake X-Plane"), QWebSocketServer::NonSecureMode};
};

}  // namespace qel::test
