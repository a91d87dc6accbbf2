#pragma once

#include <vector>

#include <QNetworkDatagram>
#include <QUdpSocket>

#include "event_loop.h"

// X-Plane's UDP port faked on 127.0.0.1.
namespace qel::test {

// X-Plane's UDP port: keeps every datagram.
struct FakeUdpXPlane {
    FakeUdpXPlane() {
        Socket.bind(QHostAddress::LocalHost, 0);
        QObject::connect(&Socket, &QUdpSocket::readyRead, [this] {
            while (Socket.hasPendingDatagrams()) {
                Datagrams.push_back(Socket.receiveDatagram().data());
            }
        });
    }
    QUdpSocket Socket;
    std::vector<QByteArray> Datagrams;
};

}  // namespace qel::test
