#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include "simnet/websocket_protocol.h"

namespace qel {

// A WebSocket client over plain TCP (ws://, no extensions), enough for a simulator's API:
// text messages out, text and binary messages in (both as text), pings answered, a closing
// handshake answered. Main thread only; all I/O is asynchronous on the event loop. Never
// goes through a proxy.
class WebSocketClient final : public QObject {
    Q_OBJECT

public:
    explicit WebSocketClient(std::chrono::milliseconds handshakeTimeout, QObject* parent = nullptr);
    // The socket says it disconnected while it is destroyed: by then nothing here may hear it.
    ~WebSocketClient() override;

    // Drops any connection (silently) and connects to ws://host:port/path.
    void Open(const QString& host, std::uint16_t port, const QString& path);
    // Drops the connection without a signal; at once, unless a closing handshake is under way.
    void Abort();
    // Sends one text message, given as its UTF-8 bytes; false (and nothing sent) unless
    // connected.
    bool SendText(QByteArrayView utf8);

    // A message (or the sum of its fragments) longer than this closes the connection.
    static constexpr qsizetype kMaxMessage = qsizetype{1} << 20;

signals:
    void connected();
    void textMessageReceived(const QString& message);
    // Once per Open() that connected or failed, with why, unless Abort() came first.
    void disconnected(const QString& reason);

private:
    enum class Phase : std::uint8_t { Closed, Handshake, Open, Closing };

    void Read();
    void ReadHandshake();
    void ReadFrames();
    void Take(websocket::Frame frame);
    void Close(std::uint16_t code, const std::string& reason);
    void Finish(const std::string& reason);
    void Reset();

    QTcpSocket Socket;
    QTimer Deadline;
    QString Host;
    std::uint16_t Port = 0;
    QString Path;
    Phase Step = Phase::Closed;
    QByteArray Key;
    QByteArray Incoming;
    QByteArray Message;  // fragments so far of the message being received
    bool InMessage = false;
};

}  // namespace qel
