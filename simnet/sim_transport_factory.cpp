#include "simnet/sim_transport_factory.h"

#include "simnet/flightgear_transport.h"
#include "simnet/xplane_udp_transport.h"
#include "simnet/xplane_web_transport.h"

namespace qel {

std::unique_ptr<SimTransport> MakeSimTransport(const LinkSettings& settings,
                                               const CommandTable& table, LogSink& log) {
    const std::uint16_t port = LinkPort(settings);
    switch (settings.Link) {
        case SimulatorKind::None:
            return nullptr;
        case SimulatorKind::XPlane:
            if (settings.Transport == XPlaneTransport::Web) {
                return std::make_unique<XPlaneWebTransport>(settings.Host, port, table.Distinct(),
                                                            log);
            }
            return std::make_unique<XPlaneUdpTransport>(settings.Host, port, log);
        case SimulatorKind::FlightGear:
            return std::make_unique<FlightGearTransport>(settings.Host, port, log);
    }
    return nullptr;
}

}  // namespace qel
