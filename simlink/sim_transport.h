#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qel {

// What the window shows of a link.
enum class LinkState : std::uint8_t {
    Connecting,  // started, no answer yet (UDP, which never answers, is Connected at once)
    Connected,   // commands go to the simulator
    NoAnswer,    // the simulator is not there or went away; retrying in the background
};

// One way of reaching a simulator: X-Plane over UDP or its Web API, FlightGear's props server,
// or a recording in tests. Main thread only; never blocks it (name lookup, connecting and
// sending happen asynchronously). A transport logs one line per change of its state, never
// one per command.
class SimTransport {
public:
    virtual ~SimTransport() = default;

    // Begins connecting in the background, and keeps reconnecting while the simulator is away.
    virtual void Start() = 0;
    [[nodiscard]] virtual LinkState State() const = 0;
    // Told of every change of state, with a short text for the status bar
    // ("X-Plane: connected (Web API 127.0.0.1:8086)").
    virtual void SetStateListener(std::function<void(LinkState, std::string_view)> listener) = 0;

    // One press and release of command.
    virtual void Press(std::string_view command) = 0;
    // True when the simulator can hold a command between a press and a release.
    [[nodiscard]] virtual bool CanHold() const = 0;
    // Holds command (active) or lets it go; only when CanHold().
    virtual void Hold(std::string_view command, bool active) = 0;

    // The window's "Test": a harmless request; done gets what came back, or why nothing did.
    virtual void Test(std::function<void(std::string)> done) = 0;
};

}  // namespace qel
