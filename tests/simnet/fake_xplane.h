#pragma once

#include <chrono>
#include <functional>
#include <vector>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QNetworkDatagram>
#include <QUdpSocket>

// X-Plane's UDP port faked on 127.0.0.1, and a bounded wait on the event loop.
namespace qel::test {

inline void StartApplication() {
    static int argc = 1;
    static char* argv[] = {const_cast<char*>("simnet_tests"), nullptr};
    // One application per process: a test main of its own may have made it already.
    if (QCoreApplication::instance() == nullptr) {
        static QCoreApplication application(argc, argv);
    }
}

// Runs the event loop until done() holds; false when it still does not after timeout.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const QDeadlineTimer deadline(timeout);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return done();
}

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
