#include "simnet/xplane_web_transport.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <utility>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace qel {
namespace {

using namespace std::chrono_literals;

// How long a look-up, the socket's handshake or the test's reply may take.
constexpr std::chrono::milliseconds kAnswerTimeout = 3s;
// A command that does nothing: the first look-up of a connection (is the Web API there at
// all?) and the test's press.
constexpr std::string_view kNoCommand = "sim/none/none";
constexpr int kHttpOk = 200;

QUrl ApiUrl(const std::string& host, std::uint16_t port, const char* scheme, const char* path) {
    QUrl url;
    url.setScheme(QString::fromLatin1(scheme));
    url.setHost(QString::fromStdString(host));
    url.setPort(port);
    url.setPath(QString::fromLatin1(path));
    return url;
}

// GET /api/v2/commands?filter[name]=NAME; the name is percent-encoded, so that a command of
// the user's own with '&' or '#' in it asks for itself.
QNetworkRequest LookupRequest(const std::string& host, std::uint16_t port,
                              const std::string& name) {
    QUrl url = ApiUrl(host, port, "http", "/api/v2/commands");
    const QByteArray value = QUrl::toPercentEncoding(QString::fromStdString(name), "/");
    url.setQuery(QStringLiteral("filter[name]=") + QString::fromLatin1(value));
    QNetworkRequest request(url);
    request.setRawHeader("Accept", "application/json");
    // A plain HTTP/1.1 server: no offer to upgrade the connection.
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setTransferTimeout(static_cast<int>(kAnswerTimeout.count()));
    return request;
}

// X-Plane's answer to a look-up: {"data":[{"id":N,"name":"...",...}]}. Only an entry with
// exactly the name asked for counts.
std::optional<std::int64_t> IdIn(const QJsonDocument& answer, std::string_view name) {
    const QString wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    for (const QJsonValue entry : answer.object().value(QStringLiteral("data")).toArray()) {
        const QJsonObject command = entry.toObject();
        const QJsonValue id = command.value(QStringLiteral("id"));
        if (command.value(QStringLiteral("name")).toString() == wanted && id.isDouble()) {
            return id.toInteger();
        }
    }
    return std::nullopt;
}

bool IsLookupAnswer(const QJsonDocument& answer) {
    return answer.isObject() && answer.object().value(QStringLiteral("data")).isArray();
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text.append(text.empty() ? "" : ", ").append(name);
    }
    return text;
}

}  // namespace

XPlaneWebTransport::XPlaneWebTransport(std::string host, std::uint16_t port,
                                       std::vector<std::string> commands, LogSink& log)
    : StatusTransport(log),
      Host(std::move(host)),
      Port(port),
      Commands(std::move(commands)),
      Log(log),
      Socket(kAnswerTimeout) {
    // The simulator is on this computer or the local network: never through a proxy.
    Http.setProxy(QNetworkProxy::NoProxy);
    Retry.setSingleShot(true);
    Retry.setInterval(kLinkRetryDelay);
    connect(&Retry, &QTimer::timeout, this, &XPlaneWebTransport::Connect);
    connect(&Socket, &WebSocketClient::connected, this, &XPlaneWebTransport::Opened);
    connect(&Socket, &WebSocketClient::disconnected, this,
            [this](const QString& reason) { Fail(reason.toStdString()); });
    connect(&Socket, &WebSocketClient::textMessageReceived, this, &XPlaneWebTransport::Received);
}

XPlaneWebTransport::~XPlaneWebTransport() {
    // Neither the socket nor a look-up may call back while the members go.
    Socket.disconnect(this);
    for (const QPointer<QNetworkReply>& reply : Lookups) {
        if (reply) {
            reply->disconnect(this);
            reply->abort();
        }
    }
}

void XPlaneWebTransport::Start() {
    if (Step == Phase::Idle) {
        Connect();
    }
}

void XPlaneWebTransport::Connect() {
    Step = Phase::LookingUp;
    Ids.clear();
    LookUp(std::string(kNoCommand), true);
}

void XPlaneWebTransport::LookUp(const std::string& name, bool probe) {
    QNetworkReply* reply = Http.get(LookupRequest(Host, Port, name));
    Lookups.emplace_back(reply);
    connect(reply, &QNetworkReply::finished, this, [this, reply, name, probe] {
        reply->deleteLater();
        LookedUp(*reply, name, probe);
    });
}

void XPlaneWebTransport::LookedUp(QNetworkReply& reply, const std::string& name, bool probe) {
    if (Step != Phase::LookingUp) {
        return;
    }
    std::erase(Lookups, &reply);
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) {
        Fail(reply.error() == QNetworkReply::OperationCanceledError
                 ? "no answer within 3 s"
                 : reply.errorString().toStdString());
        return;
    }
    const QJsonDocument answer = QJsonDocument::fromJson(reply.readAll());
    if (probe && (status.toInt() != kHttpOk || !IsLookupAnswer(answer))) {
        // Something answers HTTP there, but not X-Plane's Web API (an older X-Plane).
        Fail("HTTP " + std::to_string(status.toInt()) + ", not X-Plane's Web API v2");
        return;
    }
    // Any other answer for one name only leaves that command unknown.
    if (const std::optional<std::int64_t> id = IdIn(answer, name)) {
        Ids.insert_or_assign(name, *id);
    }
    if (probe) {
        for (const std::string& command : Commands) {
            if (command != kNoCommand) {
                LookUp(command, false);
            }
        }
    }
    if (Lookups.empty()) {
        OpenSocket();
    }
}

void XPlaneWebTransport::OpenSocket() {
    Step = Phase::Opening;
    Socket.Open(QString::fromStdString(Host), Port, QStringLiteral("/api/v2"));
}

void XPlaneWebTransport::Opened() {
    if (Step != Phase::Opening) {
        return;
    }
    Step = Phase::Open;
    Problem.clear();
    Status.Enter(LinkState::Connected,
                 "X-Plane: connected (Web API " + HostAndPort(Host, Port) + ")");
    LogMissing();
}

void XPlaneWebTransport::LogMissing() {
    std::vector<std::string> missing;
    for (const std::string& command : Commands) {
        if (!Ids.contains(command)) {
            missing.push_back(command);
        }
    }
    // Once, not at every reconnection that finds the same commands missing.
    if (missing == LoggedMissing) {
        return;
    }
    LoggedMissing = missing;
    if (!missing.empty()) {
        Log.AppendLine("X-Plane: no such command, these controls do nothing: " + Joined(missing));
    }
}

void XPlaneWebTransport::Fail(const std::string& reason) {
    if (Step == Phase::Waiting || Step == Phase::Idle) {
        return;
    }
    Step = Phase::Waiting;
    Problem = reason;
    for (const QPointer<QNetworkReply>& reply : std::exchange(Lookups, {})) {
        if (reply) {
            reply->abort();
        }
    }
    Socket.Abort();
    // Kept-alive connections to a simulator that went away are of no use to the next try.
    Http.clearConnectionCache();
    Ids.clear();
    Status.Enter(LinkState::NoAnswer,
                 "X-Plane: no answer at " + HostAndPort(Host, Port) + " (" + reason + ")");
    for (const PendingTest& test : std::exchange(Tests, {})) {
        test.Done("no answer: " + reason);
    }
    Retry.start();
}

std::int64_t XPlaneWebTransport::SetActive(std::string_view command, bool active, bool once) {
    const auto found = Ids.find(command);
    if (Step != Phase::Open || found == Ids.end()) {
        return 0;
    }
    QJsonObject entry{{QStringLiteral("id"), static_cast<qint64>(found->second)},
                      {QStringLiteral("is_active"), active}};
    if (once) {
        entry.insert(QStringLiteral("duration"), 0);
    }
    const std::int64_t requestId = NextRequestId++;
    const QJsonObject request{
        {QStringLiteral("req_id"), static_cast<qint64>(requestId)},
        {QStringLiteral("type"), QStringLiteral("command_set_is_active")},
        {QStringLiteral("params"), QJsonObject{{QStringLiteral("commands"), QJsonArray{entry}}}}};
    static_cast<void>(Socket.SendText(QJsonDocument(request).toJson(QJsonDocument::Compact)));
    return requestId;
}

void XPlaneWebTransport::Press(std::string_view command) {
    static_cast<void>(SetActive(command, true, true));
}

void XPlaneWebTransport::Hold(std::string_view command, bool active) {
    static_cast<void>(SetActive(command, active, false));
}

void XPlaneWebTransport::Test(std::function<void(std::string)> done) {
    if (Step != Phase::Open) {
        done("not connected: " + (Problem.empty() ? std::string("connecting") : Problem));
        return;
    }
    const std::int64_t requestId = SetActive(kNoCommand, true, true);
    if (requestId == 0) {
        done("X-Plane has no command " + std::string(kNoCommand));
        return;
    }
    Tests.push_back({requestId, std::move(done)});
    QTimer::singleShot(kAnswerTimeout, this,
                       [this, requestId] { FinishTest(requestId, "no reply within 3 s"); });
}

// X-Plane answers every request with {"req_id":K,"type":"result","success":true}, or false
// with an error_code and error_message. Only the test's answers are of interest: with no test
// waiting, a reply to a press is not even parsed.
void XPlaneWebTransport::Received(const QString& message) {
    if (Tests.empty()) {
        return;
    }
    const QJsonObject answer = QJsonDocument::fromJson(message.toUtf8()).object();
    if (answer.value(QStringLiteral("type")).toString() != QStringLiteral("result")) {
        return;
    }
    const std::int64_t requestId = answer.value(QStringLiteral("req_id")).toInteger();
    if (answer.value(QStringLiteral("success")).toBool()) {
        FinishTest(requestId, "X-Plane answered: success");
    } else {
        FinishTest(requestId, "X-Plane answered: " + message.toStdString());
    }
}

void XPlaneWebTransport::FinishTest(std::int64_t requestId, const std::string& result) {
    const auto test = std::ranges::find(Tests, requestId, &PendingTest::RequestId);
    if (test == Tests.end()) {
        return;
    }
    const std::function<void(std::string)> done = std::move(test->Done);
    Tests.erase(test);
    done(result);
}

}  // namespace qel
