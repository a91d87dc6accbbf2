#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "simlink/sim_transport.h"
#include "base/logsink.h"

namespace qel {

// How long a link that found no simulator waits before it tries again (back within a few
// seconds of the simulator's return).
inline constexpr std::chrono::milliseconds kLinkRetryDelay{3000};

// The state of one link as its transport reports it: one log line and one call of the
// listener per change of state, never one per retry or per command. Main thread only.
class LinkStatus {
public:
    explicit LinkStatus(LogSink& log) : Log(log) {}

    [[nodiscard]] LinkState State() const { return Current; }
    void SetListener(std::function<void(LinkState, std::string_view)> listener);
    // Enters state; text (e.g. "X-Plane: connected (UDP 127.0.0.1:49000)") is logged and told
    // to the listener only when the state differs from the current one.
    void Enter(LinkState state, std::string_view text);
    // Tells the listener text, with no change of state and no log line ("connecting to ...").
    void Show(std::string_view text);
    // Logs text and tells the listener, with no change of state ("FG1000 not loaded").
    void Note(std::string_view text);

private:
    LogSink& Log;
    LinkState Current = LinkState::Connecting;
    std::function<void(LinkState, std::string_view)> Listener;
};

// A transport whose state is a LinkStatus: State() and the listener answered from it once for
// every transport, which enters and notes its changes through Status.
class StatusTransport : public SimTransport {
public:
    [[nodiscard]] LinkState State() const override { return Status.State(); }
    void SetStateListener(std::function<void(LinkState, std::string_view)> listener) override {
        Status.SetListener(std::move(listener));
    }

protected:
    explicit StatusTransport(LogSink& log) : Status(log) {}

    LinkStatus Status;
};

// "host:port" for a status line; an IPv6 address goes in brackets ("[::1]:49000").
[[nodiscard]] std::string HostAndPort(std::string_view host, std::uint16_t port);

}  // namespace qel
