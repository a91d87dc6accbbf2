#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <QUdpSocket>

#include "simlink/sim_transport.h"
#include "simnet/link_status.h"
#include "base/logsink.h"

class QHostInfo;

namespace qel {

// X-Plane 11 and 12 over UDP: one "CMND" datagram per command, nothing else (no greeting,
// no keep-alive). X-Plane never answers, so the link counts as connected as soon as the host
// name is resolved; a name that cannot be resolved is logged once and tried again every few
// seconds. Main thread only; the name lookup runs on Qt's resolver thread.
class XPlaneUdpTransport final : public QObject, public StatusTransport {
public:
    XPlaneUdpTransport(std::string host, std::uint16_t port, LogSink& log);
    ~XPlaneUdpTransport() override;

    void Start() override;

    void Press(std::string_view command) override;
    [[nodiscard]] bool CanHold() const override { return false; }
    // UDP cannot hold: a press presses once, a release sends nothing.
    void Hold(std::string_view command, bool active) override;

    // Sends sim/none/none; X-Plane gives no reply, so done hears where it went.
    void Test(std::function<void(std::string)> done) override;

private:
    void LookUpHost();
    void HostFound(const QHostInfo& info);
    void Unreachable(std::string problem);
    [[nodiscard]] bool Send(std::string_view command);

    const std::string Host;
    const std::uint16_t Port;
    QByteArray Datagram;  // the command message being sent, reused
    QUdpSocket Socket;
    QHostAddress Target;
    QTimer Retry;
    std::string Problem;  // why the link is down, for the log and the test
    int LookupId = -1;
};

}  // namespace qel
