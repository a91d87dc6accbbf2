#include "simnet/xplane_udp_transport.h"

#include <chrono>
#include <utility>

#include <QByteArray>
#include <QHostInfo>
#include <QList>

namespace qel {
namespace {

// X-Plane's command message: the tag, one NUL, then the command path.
constexpr char kCommandTag[] = "CMND";

// X-Plane listens on IPv4 first and foremost: a name with both kinds of address ("localhost")
// takes its IPv4 one.
QHostAddress PreferredAddress(const QList<QHostAddress>& addresses) {
    for (const QHostAddress& address : addresses) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol) {
            return address;
        }
    }
    return addresses.isEmpty() ? QHostAddress() : addresses.front();
}

}  // namespace

XPlaneUdpTransport::XPlaneUdpTransport(std::string host, std::uint16_t port, LogSink& log)
    : StatusTransport(log),
      Host(std::move(host)),
      Port(port),
      Datagram(kCommandTag, sizeof kCommandTag) {
    Retry.setSingleShot(true);
    Retry.setInterval(kLinkRetryDelay);
    connect(&Retry, &QTimer::timeout, this, &XPlaneUdpTransport::LookUpHost);
}

XPlaneUdpTransport::~XPlaneUdpTransport() {
    if (LookupId != -1) {
        QHostInfo::abortHostLookup(LookupId);
    }
}

void XPlaneUdpTransport::Start() {
    LookUpHost();
}

void XPlaneUdpTransport::LookUpHost() {
    if (LookupId != -1) {
        return;
    }
    LookupId = QHostInfo::lookupHost(QString::fromStdString(Host), this,
                                     [this](const QHostInfo& info) { HostFound(info); });
}

void XPlaneUdpTransport::HostFound(const QHostInfo& info) {
    LookupId = -1;
    Target = PreferredAddress(info.addresses());
    if (info.error() != QHostInfo::NoError || Target.isNull()) {
        Unreachable("cannot find host '" + Host + "'");
        return;
    }
    Status.Enter(LinkState::Connected, "X-Plane: connected (UDP " + HostAndPort(Host, Port) + ")");
}

void XPlaneUdpTransport::Unreachable(std::string problem) {
    Problem = std::move(problem);
    Status.Enter(LinkState::NoAnswer, "X-Plane: " + Problem);
    Retry.start();
}

bool XPlaneUdpTransport::Send(std::string_view command) {
    if (Status.State() != LinkState::Connected || command.empty()) {
        return false;
    }
    // One buffer for every datagram: a knob turned fast sends hundreds a second.
    Datagram.truncate(sizeof kCommandTag);  // the tag with its NUL
    Datagram.append(command.data(), static_cast<qsizetype>(command.size()));
    if (Socket.writeDatagram(Datagram, Target, Port) >= 0) {
        return true;
    }
    // A network that cannot be reached now: the controls type their keys until the next try.
    Unreachable("no answer at " + HostAndPort(Host, Port) + " (" +
                Socket.errorString().toStdString() + ")");
    return false;
}

void XPlaneUdpTransport::Press(std::string_view command) {
    static_cast<void>(Send(command));
}

void XPlaneUdpTransport::Hold(std::string_view command, bool active) {
    if (active) {
        Press(command);
    }
}

void XPlaneUdpTransport::Test(std::function<void(std::string)> done) {
    if (Status.State() == LinkState::Connecting) {
        done("not sent: still looking up host '" + Host + "'");
    } else if (!Send("sim/none/none")) {
        done("not sent: " + Problem);
    } else {
        const QString address = Target.toString();
        done("sent to " + HostAndPort(address.toStdString(), Port));
    }
}

}  // namespace qel
