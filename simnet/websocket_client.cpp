#include "simnet/websocket_client.h"

#include <array>
#include <utility>

#include <QNetworkProxy>
#include <QRandomGenerator>

namespace qel {
namespace {

using websocket::Decoded;
using websocket::Opcode;

// Longer than any real handshake answer; a peer sending more is not a WebSocket server.
constexpr qsizetype kMaxHead = 16 * 1024;
constexpr std::uint16_t kNormalClosure = 1000;
constexpr std::uint16_t kProtocolError = 1002;
constexpr std::uint16_t kTooBig = 1009;

std::string Duration(std::chrono::milliseconds time) {
    return time.count() % 1000 == 0 ? std::to_string(time.count() / 1000) + " s"
                                    : std::to_string(time.count()) + " ms";
}

std::uint32_t NewMask() {
    return QRandomGenerator::global()->generate();
}

}  // namespace

WebSocketClient::WebSocketClient(std::chrono::milliseconds handshakeTimeout, QObject* parent)
    : QObject(parent) {
    Socket.setProxy(QNetworkProxy::NoProxy);
    Deadline.setSingleShot(true);
    Deadline.setInterval(handshakeTimeout);
    connect(&Deadline, &QTimer::timeout, this,
            [this, handshakeTimeout] { Finish("no answer within " + Duration(handshakeTimeout)); });
    connect(&Socket, &QTcpSocket::connected, this,
            [this] { Socket.write(websocket::HandshakeRequest(Host, Port, Path, Key)); });
    connect(&Socket, &QTcpSocket::readyRead, this, &WebSocketClient::Read);
    connect(&Socket, &QTcpSocket::errorOccurred, this,
            [this] { Finish(Socket.errorString().toStdString()); });
    connect(&Socket, &QTcpSocket::disconnected, this, [this] { Finish("connection closed"); });
}

WebSocketClient::~WebSocketClient() {
    QObject::disconnect(&Socket, nullptr, this, nullptr);
    QObject::disconnect(&Deadline, nullptr, this, nullptr);
}

void WebSocketClient::Open(const QString& host, std::uint16_t port, const QString& path) {
    Reset();
    Socket.abort();
    Host = host;
    Port = port;
    Path = path;
    std::array<quint32, 4> nonce{};
    QRandomGenerator::global()->fillRange(nonce.data(), nonce.size());
    Key = QByteArray(reinterpret_cast<const char*>(nonce.data()), sizeof(nonce)).toBase64();
    Step = Phase::Handshake;
    Deadline.start();
    Socket.connectToHost(host, port);
}

void WebSocketClient::Abort() {
    // A closing handshake under way ends by itself; cutting it would lose our close frame.
    if (Step != Phase::Closing) {
        Socket.abort();
    }
    Reset();
}

void WebSocketClient::Reset() {
    Step = Phase::Closed;
    Deadline.stop();
    Incoming.clear();
    Message.clear();
    InMessage = false;
}

bool WebSocketClient::SendText(QByteArrayView utf8) {
    if (Step != Phase::Open) {
        return false;
    }
    Socket.write(websocket::EncodeFrame(Opcode::Text, utf8, true, NewMask()));
    return true;
}

void WebSocketClient::Read() {
    Incoming.append(Socket.readAll());
    if (Step == Phase::Handshake) {
        ReadHandshake();
    }
    if (Step == Phase::Open) {
        ReadFrames();
    }
}

void WebSocketClient::ReadHandshake() {
    const qsizetype end = Incoming.indexOf("\r\n\r\n");
    if (end < 0) {
        if (Incoming.size() > kMaxHead) {
            Finish("no WebSocket handshake from the server");
        }
        return;
    }
    const std::string problem = websocket::HandshakeProblem(Incoming.first(end + 4), Key);
    if (!problem.empty()) {
        Finish(problem);
        return;
    }
    // Frames the server sent straight after its answer stay in Incoming.
    Incoming.remove(0, end + 4);
    Step = Phase::Open;
    Deadline.stop();
    emit connected();
}

void WebSocketClient::ReadFrames() {
    while (Step == Phase::Open) {
        Decoded decoded = websocket::DecodeFrame(Incoming, kMaxMessage - Message.size());
        if (decoded.State == Decoded::Status::Partial) {
            return;
        }
        if (decoded.State == Decoded::Status::TooLong) {
            Close(kTooBig,
                  "the server sent a message over " + std::to_string(kMaxMessage / 1024) + " KiB");
            return;
        }
        if (decoded.State == Decoded::Status::Bad) {
            Close(kProtocolError, "the server sent " + decoded.Problem);
            return;
        }
        Incoming.remove(0, decoded.Used);
        Take(std::move(decoded.Result));
    }
}

void WebSocketClient::Take(websocket::Frame frame) {
    switch (frame.Code) {
        case Opcode::Ping:
            Socket.write(websocket::EncodeFrame(Opcode::Pong, frame.Payload, true, NewMask()));
            return;
        case Opcode::Pong:
            return;
        case Opcode::Close: {
            // The status code first (two bytes), then a reason in UTF-8.
            const QByteArray why = frame.Payload.mid(2);
            Close(kNormalClosure, "closed by the server" +
                                      (why.isEmpty() ? std::string() : ": " + why.toStdString()));
            return;
        }
        case Opcode::Continuation:
        case Opcode::Text:
        case Opcode::Binary:
            break;
    }
    if ((frame.Code == Opcode::Continuation) != InMessage) {
        Close(kProtocolError, "the server sent a fragment out of order");
        return;
    }
    InMessage = !frame.Fin;
    Message.append(frame.Payload);
    if (frame.Fin) {
        const QString text = QString::fromUtf8(std::exchange(Message, {}));
        emit textMessageReceived(text);
    }
}

void WebSocketClient::Close(std::uint16_t code, const std::string& reason) {
    // Closing first: a disconnection that disconnectFromHost() reports at once is this end.
    Step = Phase::Closing;
    Deadline.stop();
    const std::array<char, 2> payload{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    Socket.write(
        websocket::EncodeFrame(Opcode::Close, QByteArrayView(payload.data(), 2), true, NewMask()));
    Socket.disconnectFromHost();
    emit disconnected(QString::fromStdString(reason));
}

void WebSocketClient::Finish(const std::string& reason) {
    if (Step == Phase::Closed || Step == Phase::Closing) {
        return;
    }
    // Closing until the next Open(): the socket's own errors and disconnection that follow
    // are this same end.
    Reset();
    Step = Phase::Closing;
    Socket.abort();
    emit disconnected(QString::fromStdString(reason));
}

}  // namespace qel
