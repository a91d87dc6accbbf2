#include "simnet/websocket_protocol.h"

#include <gtest/gtest.h>

namespace qel::websocket {
namespace {

constexpr qsizetype kMax = qsizetype{1} << 20;

// Every length form, masked (ours) and not (the server's): the header is as long as the form
// says, the mask bit is set only on ours, and the decoder gives back the payload whole and
// nothing before the last byte is in.
TEST(WebSocketFrame, EveryLengthFormRoundTripsAndWaitsForItsLastByte) {
    struct Case {
        qsizetype Size;
        qsizetype Header;
    };
    for (const Case c : {Case{0, 2}, {125, 2}, {126, 4}, {65535, 4}, {65536, 10}}) {
        for (const bool masked : {false, true}) {
            SCOPED_TRACE(std::to_string(c.Size) + (masked ? " masked" : ""));
            QByteArray payload(c.Size, '\0');
            for (qsizetype i = 0; i < c.Size; ++i) {
                payload[i] = static_cast<char>(i * 7);
            }
            const auto mask = masked ? std::optional<std::uint32_t>(0xA1B2C3D4) : std::nullopt;
            const QByteArray frame = EncodeFrame(Opcode::Binary, payload, true, mask);
            ASSERT_EQ(frame.size(), c.Header + (masked ? 4 : 0) + c.Size);
            EXPECT_EQ(static_cast<std::uint8_t>(frame[0]), 0x82);
            EXPECT_EQ((static_cast<std::uint8_t>(frame[1]) & 0x80) != 0, masked);
            EXPECT_EQ(DecodeFrame(frame.chopped(1), kMax).State, Decoded::Status::Partial);
            const Decoded decoded = DecodeFrame(frame + "next", kMax);
            ASSERT_EQ(decoded.State, Decoded::Status::Complete);
            EXPECT_EQ(decoded.Used, frame.size());
            EXPECT_EQ(decoded.Result.Payload, payload);
        }
    }
}

// A fragmented text with a ping between its fragments, then what no server may send.
TEST(WebSocketFrame, FragmentsAndPingsDecodeInOrderAndBadFramesAreRefused) {
    QByteArray stream = EncodeFrame(Opcode::Text, "hel", false, std::nullopt) +
                        EncodeFrame(Opcode::Ping, "p", true, std::nullopt) +
                        EncodeFrame(Opcode::Continuation, "lo", true, std::nullopt);
    for (const auto& [code, fin, payload] : {Frame{Opcode::Text, false, "hel"},
                                             {Opcode::Ping, true, "p"},
                                             {Opcode::Continuation, true, "lo"}}) {
        const Decoded decoded = DecodeFrame(stream, kMax);
        ASSERT_EQ(decoded.State, Decoded::Status::Complete);
        EXPECT_EQ(decoded.Result.Code, code);
        EXPECT_EQ(decoded.Result.Fin, fin);
        EXPECT_EQ(decoded.Result.Payload, payload);
        stream.remove(0, decoded.Used);
    }
    for (const QByteArray& bad :
         {QByteArray("\xC1\x00", 2), QByteArray("\x83\x00", 2),
          EncodeFrame(Opcode::Ping, "", false, std::nullopt),
          EncodeFrame(Opcode::Ping, QByteArray(126, 'x'), true, std::nullopt),
          QByteArray("\x81\x7F\x80\x00\x00\x00\x00\x00\x00\x00", 10)}) {
        SCOPED_TRACE(bad.toHex().toStdString());
        EXPECT_EQ(DecodeFrame(bad, kMax).State, Decoded::Status::Bad);
    }
}

TEST(WebSocketHandshake, AcceptsOnlyA101WithTheKeysHash) {
    const QByteArray key = "dGhlIHNhbXBsZSBub25jZQ==";
    EXPECT_EQ(AcceptFor(key), "s3pPLMBiTxaQ9kYGzzhZRbK+xOo=");
    const QByteArray head =
        "HTTP/1.1 101 Switching Protocols\r\nupgrade: WebSocket\r\n"
        "Connection: Upgrade\r\nSec-WebSocket-Accept: "
        "s3pPLMBiTxaQ9kYGzzhZRbK+xOo=\r\n\r\n";
    EXPECT_EQ(HandshakeProblem(head, key), "");
    EXPECT_EQ(HandshakeProblem(head, "AAAAAAAAAAAAAAAAAAAAAA=="),
              "wrong Sec-WebSocket-Accept in the server's handshake");
    EXPECT_EQ(HandshakeProblem("HTTP/1.1 404 Not Found\r\n\r\n", key),
              "HTTP 404 instead of a WebSocket");
    EXPECT_EQ(HandshakeRequest("::1", 8086, "/api/v2", key),
              "GET /api/v2 HTTP/1.1\r\nHost: [::1]:8086\r\nUpgrade: websocket\r\nConnection: "
              "Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
              "Sec-WebSocket-Version: 13\r\n\r\n");
    EXPECT_TRUE(
        HandshakeRequest("localhost", 8086, "/", key).contains("\r\nHost: localhost:8086\r\n"));
}

}  // namespace
}  // namespace qel::websocket
