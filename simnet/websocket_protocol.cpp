#include "simnet/websocket_protocol.h"

#include <QCryptographicHash>
#include <QList>

#include "simnet/link_status.h"

namespace qel::websocket {
namespace {

// Fixed by the protocol: the server proves it speaks WebSocket by hashing the key with it.
constexpr QByteArrayView kAcceptGuid = "258EAFA5-E914-47DA-95CA-C5AB0DC85B11";
constexpr std::uint8_t kFin = 0x80;
constexpr std::uint8_t kReserved = 0x70;
constexpr std::uint8_t kOpcodeBits = 0x0F;
constexpr std::uint8_t kMasked = 0x80;
constexpr std::uint8_t kLengthBits = 0x7F;
constexpr std::uint8_t kLength16 = 126;
constexpr std::uint8_t kLength64 = 127;
constexpr qsizetype kMaxControlPayload = 125;
constexpr int kMaskSize = 4;

bool IsKnown(std::uint8_t opcode) {
    return opcode <= 0x2 || (opcode >= 0x8 && opcode <= 0xA);
}

// The value of header name in an HTTP head (names compared without case), or empty.
QByteArray HeaderValue(const QList<QByteArray>& lines, QByteArrayView name) {
    for (const QByteArray& line : lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 &&
            QByteArrayView(line).first(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0) {
            return line.mid(colon + 1).trimmed();
        }
    }
    return {};
}

Decoded Bad(std::string problem) {
    Decoded decoded;
    decoded.State = Decoded::Status::Bad;
    decoded.Problem = std::move(problem);
    return decoded;
}

}  // namespace

QByteArray AcceptFor(QByteArrayView key) {
    QCryptographicHash sha1(QCryptographicHash::Sha1);
    sha1.addData(key);
    sha1.addData(kAcceptGuid);
    return sha1.result().toBase64();
}

QByteArray HandshakeRequest(const QString& host, std::uint16_t port, const QString& path,
                            QByteArrayView key) {
    // An IPv6 address is bracketed in the Host header, as in a URL.
    return "GET " + path.toUtf8() + " HTTP/1.1\r\nHost: " +
           QByteArray::fromStdString(HostAndPort(host.toStdString(), port)) +
           "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: " +
           key.toByteArray() + "\r\nSec-WebSocket-Version: 13\r\n\r\n";
}

std::string HandshakeProblem(QByteArrayView head, QByteArrayView key) {
    const QList<QByteArray> lines = head.toByteArray().split('\n');
    const QList<QByteArray> status = lines.value(0).trimmed().split(' ');
    if (!status.value(0).startsWith("HTTP/") || status.value(1) != "101") {
        return "HTTP " + status.value(1).left(3).toStdString() + " instead of a WebSocket";
    }
    if (HeaderValue(lines, "Upgrade").compare("websocket", Qt::CaseInsensitive) != 0 ||
        !HeaderValue(lines, "Connection").toLower().contains("upgrade")) {
        return "the server did not upgrade to a WebSocket";
    }
    if (HeaderValue(lines, "Sec-WebSocket-Accept") != AcceptFor(key)) {
        return "wrong Sec-WebSocket-Accept in the server's handshake";
    }
    return {};
}

QByteArray EncodeFrame(Opcode opcode, QByteArrayView payload, bool fin,
                       std::optional<std::uint32_t> mask) {
    QByteArray frame;
    frame.reserve(payload.size() + 14);
    frame.append(static_cast<char>((fin ? kFin : 0) | static_cast<std::uint8_t>(opcode)));
    const std::uint8_t maskBit = mask ? kMasked : 0;
    const auto size = static_cast<std::uint64_t>(payload.size());
    if (size < kLength16) {
        frame.append(static_cast<char>(maskBit | size));
    } else if (size <= 0xFFFF) {
        frame.append(static_cast<char>(maskBit | kLength16));
        for (int shift = 8; shift >= 0; shift -= 8) {
            frame.append(static_cast<char>((size >> shift) & 0xFF));
        }
    } else {
        frame.append(static_cast<char>(maskBit | kLength64));
        for (int shift = 56; shift >= 0; shift -= 8) {
            frame.append(static_cast<char>((size >> shift) & 0xFF));
        }
    }
    if (!mask) {
        frame.append(payload);
        return frame;
    }
    char key[kMaskSize];
    for (int i = 0; i < kMaskSize; ++i) {
        key[i] = static_cast<char>((*mask >> (24 - 8 * i)) & 0xFF);
    }
    frame.append(key, kMaskSize);
    for (qsizetype i = 0; i < payload.size(); ++i) {
        frame.append(static_cast<char>(payload[i] ^ key[i % kMaskSize]));
    }
    return frame;
}

Decoded DecodeFrame(QByteArrayView data, qsizetype maxPayload) {
    if (data.size() < 2) {
        return {};
    }
    const auto first = static_cast<std::uint8_t>(data[0]);
    const auto second = static_cast<std::uint8_t>(data[1]);
    const std::uint8_t opcode = first & kOpcodeBits;
    if ((first & kReserved) != 0 || !IsKnown(opcode)) {
        return Bad("a frame with reserved bits or opcode");
    }
    const bool control = (opcode & 0x8) != 0;
    const bool fin = (first & kFin) != 0;
    std::uint64_t size = second & kLengthBits;
    qsizetype at = 2;
    const int extra = size == kLength16 ? 2 : size == kLength64 ? 8 : 0;
    if (extra != 0) {
        if (data.size() < at + extra) {
            return {};
        }
        size = 0;
        for (int i = 0; i < extra; ++i) {
            size = (size << 8) | static_cast<std::uint8_t>(data[at++]);
        }
    }
    if (control && (!fin || size > kMaxControlPayload)) {
        return Bad("a fragmented or long control frame");
    }
    if (size >> 63 != 0) {
        return Bad("a frame length with its top bit set");
    }
    if (size > static_cast<std::uint64_t>(maxPayload)) {
        Decoded decoded;
        decoded.State = Decoded::Status::TooLong;
        return decoded;
    }
    // A server must not mask; one that does anyway is still understood.
    const bool masked = (second & kMasked) != 0;
    const qsizetype maskAt = at;
    at += masked ? kMaskSize : 0;
    const auto length = static_cast<qsizetype>(size);
    if (data.size() < at + length) {
        return {};
    }
    Decoded decoded;
    decoded.State = Decoded::Status::Complete;
    decoded.Result = {static_cast<Opcode>(opcode), fin, data.sliced(at, length).toByteArray()};
    if (masked) {
        for (qsizetype i = 0; i < length; ++i) {
            decoded.Result.Payload[i] =
                static_cast<char>(decoded.Result.Payload[i] ^ data[maskAt + i % kMaskSize]);
        }
    }
    decoded.Used = at + length;
    return decoded;
}

}  // namespace qel::websocket
