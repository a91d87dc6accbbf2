#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "simlink/sim_transport.h"
#include "simnet/link_status.h"
#include "base/logsink.h"

class QTcpSocket;
class QTimer;

namespace qel {

// The waits of a FlightGear link; the defaults are the program's, tests shorten them.
struct FlightGearTiming {
    std::chrono::milliseconds Retry = kLinkRetryDelay;  // between attempts while FlightGear is away
    std::chrono::milliseconds Connect{5000};            // longest wait for one attempt
    std::chrono::milliseconds TestReply{3000};          // longest wait for the answer to "Test"
    std::chrono::milliseconds KnobSpacing{150};         // after a paced knob's step was answered
};

// FlightGear's props server (its telnet protocol) over one TCP session, kept open and reopened
// in the background while FlightGear is away. Each command is written as `run <command>` at
// once, without waiting for the replies of earlier ones; every reply is read. Steps of a knob
// the FG1000 would lose when they arrive together (BARO) are spaced instead. Main thread only,
// driven by the Qt event loop; never blocks it. Borrows the log. The state listener is also
// told, with the state unchanged, when the FG1000 stops answering its commands; it runs inside
// the transport's socket handling and must not destroy it.
class FlightGearTransport final : public StatusTransport {
public:
    FlightGearTransport(std::string host, std::uint16_t port, LogSink& log,
                        FlightGearTiming timing = {});
    // Says `quit` before closing: FlightGear 2020.3 crashes on exit after a client left
    // without it.
    ~FlightGearTransport() override;
    FlightGearTransport(const FlightGearTransport&) = delete;
    FlightGearTransport& operator=(const FlightGearTransport&) = delete;

    void Start() override;

    // Dropped while not connected (the controls type their keys then), and when FlightGear
    // has stopped answering (one log line).
    void Press(std::string_view command) override;
    // FlightGear's commands are one-shot: nothing is held.
    [[nodiscard]] bool CanHold() const override { return false; }
    void Hold(std::string_view command, bool active) override;

    // Asks for FlightGear's version; done gets "FlightGear 2020.3.16", or why not. Called
    // once, on the main thread, never after the transport is gone.
    void Test(std::function<void(std::string)> done) override;

private:
    // What an answer in the queue of awaited replies belongs to.
    struct Awaited {
        std::string PacedKnob;                    // a paced knob's step: its name
        std::function<void(std::string)> Tested;  // the version request of Test
        int TestNumber = 0;
    };
    // Steps of one paced knob not yet written.
    struct PacedKnob {
        std::deque<std::string> Waiting;
        bool InFlight = false;  // a step written and not yet answered
        std::chrono::steady_clock::time_point Answered;
    };

    void Connect();
    void OnConnected();
    void OnGone(const std::string& reason);
    void OnReadable();
    void OnReply(std::string_view reply);
    // Writes line, which ends in "\r\n"; false when FlightGear has stopped answering and the
    // line was dropped.
    bool WriteLine(std::string_view line, Awaited awaited);
    // Writes each paced knob's next step that is due, and sets the timer for the next one.
    void WritePacedSteps();
    // Tells a test its answer from the event loop: never inside the call that asked, and never
    // once the transport (its socket) is gone.
    void Answer(std::function<void(std::string)> tested, std::string text);
    [[nodiscard]] std::string Address() const { return HostAndPort(Host, Port); }

    std::string Host;
    std::uint16_t Port;
    LogSink& Log;
    FlightGearTiming Timing;
    std::unique_ptr<QTcpSocket> Socket;
    std::unique_ptr<QTimer> RetryTimer;
    std::unique_ptr<QTimer> ConnectTimer;
    std::unique_ptr<QTimer> PaceTimer;
    bool Started = false;
    bool NotLoadedSaid = false;     // "FG1000 not loaded" logged, no command succeeded since
    bool NotAnsweringSaid = false;  // commands dropped for want of answers, logged
    bool OverrunSaid = false;       // a paced knob's steps dropped, logged
    int TestCount = 0;
    std::string Received;
    std::deque<Awaited> Replies;
    std::map<std::string, PacedKnob, std::less<>> Paced;
};

}  // namespace qel
