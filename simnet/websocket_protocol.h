#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The client's side of the WebSocket protocol as pure functions of bytes: the opening
// handshake and the frames. No I/O; WebSocketClient does that.
namespace qel::websocket {

enum class Opcode : std::uint8_t {
    Continuation = 0x0,
    Text = 0x1,
    Binary = 0x2,
    Close = 0x8,
    Ping = 0x9,
    Pong = 0xA,
};

// The Sec-WebSocket-Accept a server must answer to key.
[[nodiscard]] QByteArray AcceptFor(QByteArrayView key);

// The HTTP/1.1 GET that asks host:port to upgrade path to a WebSocket.
[[nodiscard]] QByteArray HandshakeRequest(const QString& host, std::uint16_t port,
                                          const QString& path, QByteArrayView key);

// Checks the server's answer up to and including its blank line: empty when it accepts the
// upgrade for key, else why not.
[[nodiscard]] std::string HandshakeProblem(QByteArrayView head, QByteArrayView key);

// One frame; mask is set for a client's frame (every one must be masked), unset for a
// server's.
[[nodiscard]] QByteArray EncodeFrame(Opcode opcode, QByteArrayView payload, bool fin,
                                     std::optional<std::uint32_t> mask);

struct Frame {
    Opcode Code = Opcode::Continuation;
    bool Fin = false;
    QByteArray Payload;  // unmasked
};

struct Decoded {
    enum class Status : std::uint8_t { Partial, Complete, Bad, TooLong };
    Status State = Status::Partial;
    Frame Result;
    qsizetype Used = 0;   // bytes of the input the frame took, when Complete
    std::string Problem;  // when Bad
};

// The first frame at the start of data: Partial until all of it is there; Bad for a frame no
// peer may send (reserved bits or opcodes, a fragmented or long control frame, a length with
// its top bit set); TooLong as soon as the header says the payload exceeds maxPayload bytes.
[[nodiscard]] Decoded DecodeFrame(QByteArrayView data, qsizetype maxPayload);

}  // namespace qel::websocket
