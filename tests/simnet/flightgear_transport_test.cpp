#include "simnet/flightgear_transport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QTcpServer>
#include <QTcpSocket>

#include "event_loop.h"
#include "support/memory_log.h"

namespace qel::test {

// FlightGear's props server as far as a client sees it, on 127.0.0.1: keeps every line, and
// answers each with Reply (a `get` with a version) and the prompt, or holds its answers.
class FakePropsServer {
public:
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
            const std::string& line = Lines[Answered];
            bytes += line.starts_with("get ")
                         ? line.substr(4) + " = '2020.3.16' (string)"
                         : (line.find(FailWith) == 0 ? "*failed*" : "<completed>");
            bytes += "\r\n/> ";
        }
        Peer->write(bytes.data(), static_cast<qint64>(bytes.size()));
    }

    std::vector<std::string> Lines;
    bool Answering = true;
    std::string FailWith = "\x01";  // lines starting with this fail

private:
    void Read() {
        Pending += Peer->readAll().toStdString();
        for (std::size_t end; (end = Pending.find("\r\n")) != std::string::npos;
             Pending.erase(0, end + 2)) {
            Lines.push_back(Pending.substr(0, end));
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

namespace qel {
namespace {

using namespace std::chrono_literals;
using test::FakePropsServer;
using test::RunUntil;

constexpr FlightGearTiming kFast{.Retry = 50ms, .Connect = 2s, .TestReply = 2s};
constexpr std::string_view kHeading = "FG1000HardKeyPushed device=1 notification=HEADING offset=1";

struct Link {
    explicit Link(std::uint16_t port)
        : Transport(std::make_unique<FlightGearTransport>("127.0.0.1", port, Log, kFast)) {
        Transport->Start();
    }
    bool Connected() {
        return RunUntil([this] { return Transport->State() == LinkState::Connected; });
    }
    std::string Tested() {
        std::optional<std::string> answer;
        Transport->Test([&answer](std::string text) { answer = std::move(text); });
        RunUntil([&answer] { return answer.has_value(); });
        return answer.value_or("(no answer)");
    }
    test::MemoryLog Log;
    std::unique_ptr<FlightGearTransport> Transport;
};

TEST(FlightGearTransport, WritesEveryCommandBeforeAnyReplyAndMatchesEachReplyToItsLine) {
    FakePropsServer server;
    server.Answering = false;
    Link link(server.Port());
    ASSERT_TRUE(link.Connected());
    for (int i = 0; i < 5; ++i) {
        link.Transport->Press(kHeading);
    }
    ASSERT_TRUE(RunUntil([&] { return server.Lines.size() == 5; }));
    EXPECT_EQ(server.Lines[4], "run " + std::string(kHeading));
    server.AnswerWaiting();
    server.Answering = true;
    // Five replies came before the version: a miscount would hand Test a "<completed>".
    EXPECT_EQ(link.Tested(), "FlightGear 2020.3.16");
    EXPECT_EQ(server.Lines.back(), "get /sim/version/flightgear");
    EXPECT_EQ(link.Log.Lines, std::vector<std::string>{"FlightGear: connected (127.0.0.1:" +
                                                       std::to_string(server.Port()) + ")"});
}

TEST(FlightGearTransport, SaysFg1000NotLoadedOncePerChangeAndQuitsOnClose) {
    FakePropsServer server;
    server.FailWith = "run FG1000";
    Link link(server.Port());
    ASSERT_TRUE(link.Connected());
    for (const std::string_view command :
         {kHeading, kHeading, std::string_view("property-toggle property=/a"), kHeading}) {
        link.Transport->Press(command);
    }
    ASSERT_TRUE(RunUntil([&] { return link.Log.Lines.size() == 3; }));
    EXPECT_EQ(link.Log.Lines[1], "FlightGear: FG1000 not loaded");
    EXPECT_EQ(link.Log.Lines[2], "FlightGear: FG1000 not loaded");
    link.Transport.reset();
    ASSERT_TRUE(RunUntil([&] { return server.Lines.back() == "quit"; }));
    EXPECT_EQ(server.Lines.size(), 5U);
}

TEST(FlightGearTransport, ReconnectsInTheBackgroundWithOneLinePerChange) {
    FakePropsServer server;
    const std::uint16_t port = server.Port();
    const std::string at = "127.0.0.1:" + std::to_string(port);
    server.Close();
    Link link(port);
    // Several attempts fail; one line says so.
    ASSERT_FALSE(RunUntil([] { return false; }, 300ms));
    link.Transport->Press(kHeading);
    server.Listen(port);
    ASSERT_TRUE(link.Connected());
    server.Close();
    ASSERT_TRUE(RunUntil([&] { return link.Transport->State() == LinkState::NoAnswer; }));
    server.Listen(port);
    ASSERT_TRUE(link.Connected());
    link.Transport->Press(kHeading);
    ASSERT_TRUE(RunUntil([&] { return server.Lines.size() == 1; }));
    // The reasons are the system's words.
    ASSERT_EQ(link.Log.Lines.size(), 4U);
    for (const std::size_t i : {0U, 2U}) {
        EXPECT_TRUE(link.Log.Lines[i].starts_with("FlightGear: no answer at " + at + " ("));
    }
    for (const std::size_t i : {1U, 3U}) {
        EXPECT_EQ(link.Log.Lines[i], "FlightGear: connected (" + at + ")");
    }
}

}  // namespace
}  // namespace qel
