#pragma once

#include <memory>

#include "simlink/command_table.h"
#include "simlink/link_settings.h"
#include "simlink/sim_transport.h"
#include "base/logsink.h"

namespace qel {

// The transport the settings choose, not yet started; null when no simulator is linked (then
// no socket is ever opened). The table gives the commands whose ids X-Plane's Web API looks
// up. Main thread only; the transport logs to log, which must outlive it.
[[nodiscard]] std::unique_ptr<SimTransport> MakeSimTransport(const LinkSettings& settings,
                                                             const CommandTable& table,
                                                             LogSink& log);

}  // namespace qel
