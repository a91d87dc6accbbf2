#pragma once

#include <map>
#include <set>
#include <vector>

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrlQuery>
#include <QWebSocket>
#include <QWebSocketServer>

namespace qel::test {

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
