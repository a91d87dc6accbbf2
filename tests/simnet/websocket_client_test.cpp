#include "simnet/websocket_client.h"

#include <chrono>
#include <vector>

#include <gtest/gtest.h>

#include <QPointer>
#include <QWebSocket>
#include <QWebSocketServer>

#include "fake_xplane.h"

namespace qel {
namespace {

using namespace std::chrono_literals;
using test::WaitUntil;

// Qt's own server checks our client: a ping answered, a message it sends in fragments
// (anything over 512 KiB) whole, one over the bound refused, its close reported.
TEST(WebSocketClient, AnswersPingsJoinsFragmentsBoundsMessagesAndReportsTheClose) {
    test::StartApplication();
    QWebSocketServer server(QStringLiteral("test"), QWebSocketServer::NonSecureMode);
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QPointer<QWebSocket> peer;
    QByteArray pong;
    QObject::connect(&server, &QWebSocketServer::newConnection, [&] {
        peer = server.nextPendingConnection();
        peer->setParent(&server);  // gone with the server
        QObject::connect(peer, &QWebSocket::pong, [&](quint64, const QByteArray& p) { pong = p; });
    });
    WebSocketClient client(3s);
    std::vector<QString> received;
    std::vector<QString> reasons;
    int connections = 0;
    QObject::connect(&client, &WebSocketClient::connected, [&] { ++connections; });
    QObject::connect(&client, &WebSocketClient::textMessageReceived,
                     [&](const QString& text) { received.push_back(text); });
    QObject::connect(&client, &WebSocketClient::disconnected,
                     [&](const QString& reason) { reasons.push_back(reason); });

    client.Open(QStringLiteral("127.0.0.1"), server.serverPort(), QStringLiteral("/api"));
    ASSERT_TRUE(WaitUntil([&] { return connections == 1 && peer; }));
    EXPECT_EQ(peer->requestUrl().path(), "/api");
    peer->ping("are you there");
    const QString big(600 * 1024, QChar(u'\u00e9'));  // 1.2 MB in UTF-8: over the bound
    const QString large(700 * 1024, 'x');
    peer->sendTextMessage(large);
    peer->sendBinaryMessage("{}");
    ASSERT_TRUE(WaitUntil([&] { return received.size() == 2 && !pong.isEmpty(); }));
    EXPECT_EQ(pong, "are you there");
    EXPECT_TRUE(received[0] == large);
    EXPECT_EQ(received[1], "{}");
    EXPECT_TRUE(client.SendText(QStringLiteral("still open")));
    peer->sendTextMessage(big);
    ASSERT_TRUE(WaitUntil([&] { return !reasons.empty(); }));
    EXPECT_EQ(reasons, std::vector<QString>{"the server sent a message over 1024 KiB"});
    EXPECT_FALSE(client.SendText(QStringLiteral("closed")));

    client.Open(QStringLiteral("127.0.0.1"), server.serverPort(), QStringLiteral("/api"));
    ASSERT_TRUE(WaitUntil([&] { return connections == 2 && peer; }));
    peer->close(QWebSocketProtocol::CloseCodeGoingAway, QStringLiteral("bye"));
    ASSERT_TRUE(WaitUntil([&] { return reasons.size() == 2; }));
    EXPECT_EQ(reasons[1], "closed by the server: bye");
    EXPECT_FALSE(WaitUntil([&] { return reasons.size() > 2; }, 200ms));
}

}  // namespace
}  // namespace qel
