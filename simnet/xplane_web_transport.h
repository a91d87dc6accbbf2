#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include "simlink/sim_transport.h"
#include "simnet/link_status.h"
#include "simnet/websocket_client.h"
#include "base/logsink.h"

class QNetworkReply;

namespace qel {

// X-Plane 12.1.4 and later over its Web API. Each connection first looks up the id of every
// command by name over HTTP (ids hold for one run of the simulator), then opens the WebSocket
// and only then counts as connected. Every command goes over the socket as
// command_set_is_active with a fresh req_id: a hold stays active until its release, a press
// is active with duration 0. A dropped connection is noticed at once and retried every few
// seconds. Main thread only; all I/O is asynchronous.
class XPlaneWebTransport final : public QObject, public StatusTransport {
public:
    // commands: every command the link may send. A command X-Plane does not know is logged
    // once per connection that finds it missing, and pressing it does nothing.
    XPlaneWebTransport(std::string host, std::uint16_t port, std::vector<std::string> commands,
                       LogSink& log);
    ~XPlaneWebTransport() override;

    void Start() override;

    void Press(std::string_view command) override;
    [[nodiscard]] bool CanHold() const override { return true; }
    void Hold(std::string_view command, bool active) override;

    // Presses sim/none/none; done hears X-Plane's reply, or why none came.
    void Test(std::function<void(std::string)> done) override;

private:
    enum class Phase : std::uint8_t { Idle, LookingUp, Opening, Open, Waiting };
    struct PendingTest {
        std::int64_t RequestId = 0;
        std::function<void(std::string)> Done;
    };

    void Connect();
    void LookUp(const std::string& name, bool probe);
    void LookedUp(QNetworkReply& reply, const std::string& name, bool probe);
    void OpenSocket();
    void Opened();
    void Fail(const std::string& reason);
    void LogMissing();
    void Received(const QString& message);
    void FinishTest(std::int64_t requestId, const std::string& result);
    // Sends one command_set_is_active; the request's id, or 0 when nothing was sent.
    std::int64_t SetActive(std::string_view command, bool active, bool once);

    const std::string Host;
    const std::uint16_t Port;
    const std::vector<std::string> Commands;
    LogSink& Log;
    QNetworkAccessManager Http;
    WebSocketClient Socket;
    QTimer Retry;
    Phase Step = Phase::Idle;
    std::vector<QPointer<QNetworkReply>> Lookups;  // this connection's, still running
    std::map<std::string, std::int64_t, std::less<>> Ids;
    std::vector<std::string> LoggedMissing;
    std::int64_t NextRequestId = 1;
    std::vector<PendingTest> Tests;
    std::string Problem;  // why the link is down, for the test
};

}  // namespace qel
