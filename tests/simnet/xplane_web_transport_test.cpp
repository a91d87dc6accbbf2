#include "simnet/xplane_web_transport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrlQuery>
#include <QWebSocket>
#include <QWebSocketServer>

#include "event_loop.h"
#include "support/memory_log.h"

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

namespace qel {
namespace {

using namespace std::chrono_literals;
using test::RunUntil;

// A command_set_is_active request as the fake keeps it (compact, keys in order).
QByteArray Request(int requestId, const char* command) {
    return R"({"params":{"commands":[{)" + QByteArray(command) + R"(}]},"req_id":)" +
           QByteArray::number(requestId) + R"(,"type":"command_set_is_active"})";
}

class XPlaneWebLink : public ::testing::Test {
protected:
    test::MemoryLog Log;
    std::string Tested;
};

// Ids looked up before the link counts as connected, holds and presses with fresh req_ids, a
// loss noticed at once, and the ids of the simulator's next run looked up again.
TEST_F(XPlaneWebLink, LooksUpHoldsPressesAndComesBackWithNewIds) {
    test::FakeWebXPlane xplane;
    xplane.Ids = {
        {"sim/none/none", 1}, {"sim/GPS/g1000n1_clr", 17}, {"sim/GPS/g1000n1_hdg_up", 23}};
    ASSERT_TRUE(xplane.Listen());
    const quint16 port = xplane.Server.serverPort();
    const std::string where = "127.0.0.1:" + std::to_string(port);
    {
        test::MemoryLog earlyLog;
        XPlaneWebTransport early("127.0.0.1", port, {}, earlyLog);
        early.Start();
        ASSERT_TRUE(RunUntil([&] { return !xplane.LookedUp.empty(); }));
    }  // gone with its look-up under way: nothing calls back into it
    xplane.LookedUp.clear();
    XPlaneWebTransport transport(
        "127.0.0.1", port, {"sim/GPS/g1000n1_clr", "sim/GPS/g1000n1_hdg_up", "sim/nonsense"}, Log);
    transport.Start();
    ASSERT_TRUE(RunUntil([&] { return transport.State() == LinkState::Connected; }));
    EXPECT_EQ(xplane.LookedUp, (std::set<QString>{"sim/GPS/g1000n1_clr", "sim/GPS/g1000n1_hdg_up",
                                                  "sim/none/none", "sim/nonsense"}));

    transport.Hold("sim/GPS/g1000n1_clr", true);
    transport.Hold("sim/GPS/g1000n1_clr", false);
    transport.Press("sim/GPS/g1000n1_hdg_up");
    transport.Press("sim/nonsense");  // unknown to X-Plane: presses nothing
    transport.Test([&](std::string result) { Tested = std::move(result); });
    ASSERT_TRUE(RunUntil([&] { return !Tested.empty(); }));
    EXPECT_EQ(Tested, "X-Plane answered: success");
    // Holds without a duration, presses with "duration":0; nothing for an unknown command.
    EXPECT_EQ(xplane.Messages,
              (std::vector<QByteArray>{Request(1, R"("id":17,"is_active":true)"),
                                       Request(2, R"("id":17,"is_active":false)"),
                                       Request(3, R"("duration":0,"id":23,"is_active":true)"),
                                       Request(4, R"("duration":0,"id":1,"is_active":true)")}));

    // Gone: noticed at once; back (with new ids) within a few seconds.
    xplane.Stop();
    ASSERT_TRUE(RunUntil([&] { return transport.State() == LinkState::NoAnswer; }, 1s));
    xplane.Ids["sim/GPS/g1000n1_hdg_up"] = 99;
    xplane.LookedUp.clear();
    // Away longer than one retry: still one line.
    EXPECT_FALSE(RunUntil([&] { return transport.State() != LinkState::NoAnswer; }, 3500ms));
    ASSERT_TRUE(xplane.Listen(port));
    ASSERT_TRUE(RunUntil([&] { return transport.State() == LinkState::Connected; }, 5s));
    EXPECT_EQ(xplane.LookedUp.size(), 4u);
    transport.Press("sim/GPS/g1000n1_hdg_up");
    ASSERT_TRUE(RunUntil([&] { return xplane.Messages.size() == 5; }));
    EXPECT_EQ(xplane.Messages[4], Request(5, R"("duration":0,"id":99,"is_active":true)"));
    EXPECT_EQ(Log.Lines,
              (std::vector<std::string>{
                  "X-Plane: connected (Web API " + where + ")",
                  "X-Plane: no such command, these controls do nothing: sim/nonsense",
                  "X-Plane: no answer at " + where + " (The remote host closed the connection)",
                  "X-Plane: connected (Web API " + where + ")"}));
}

}  // namespace
}  // namespace qel
