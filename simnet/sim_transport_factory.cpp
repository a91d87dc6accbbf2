#include "simnet/sim_transport_factory.h"

#include "simnet/xplane_udp_transport.h"
#include "simnet/xplane_web_transport.h"

namespace qel {

std::unique_ptr<SimTransport> MakeSimTransport(const LinkSettings& settings,
                                               const CommandTable& table, LogSink& log) {
    switch (settings.Link) {
        case SimulatorKind::None:
            return nullptr;
        case SimulatorKind::XPlane:
            if (settings.Transport == XPlaneTransport::Web) {
                return std::make_unique<XPlaneWebTransport>(settings.Host, settings.WebPort,
                                                            table.Distinct(), log);
            }
            return std::make_unique<XPlaneUdpTransport>(settings.Host, settings.Port, log);
        case SimulatorKind::FlightGear:
            // FlightGear's props server: FlightGearTransport (simnet/flightgear_transport.h)
            // is made here.
            return nullptr;
    }
    return nullptr;
}

}  // namespace qel
