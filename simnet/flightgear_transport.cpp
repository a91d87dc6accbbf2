#include "simnet/flightgear_transport.h"

#include <algorithm>
#include <array>
#include <utility>

#include <QMetaObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include "simlink/command_table.h"

namespace qel {

namespace {

// Every reply of the props server ends with its prompt (the current property folder, never
// changed by this client, and "> ").
constexpr std::string_view kPrompt = "/> ";
// FlightGear answers every line within a frame or two; this many unanswered lines means it has
// stopped reading, and more would only pile up in memory.
constexpr std::size_t kMaxAwaited = 256;
// A reply longer than this without a prompt is not the props server talking.
constexpr std::size_t kMaxReplyBytes = 64 * 1024;
// A fast turn gives about ten steps per pass; a knob this far behind is being turned faster
// than the FG1000 can take it.
constexpr std::size_t kMaxWaitingSteps = 24;

struct PacedNotification {
    std::string_view Notification;  // as written in the command, by name or number
    std::string_view Knob;
};
// The FG1000 turns BARO from its copy of the altimeter setting, which is refreshed only about
// ten times a second: a second step before the refresh starts from the same value and is lost.
// The other knobs keep their own copy current with every step.
constexpr std::array kPacedNotifications{
    PacedNotification{"BARO", "BARO"},
    PacedNotification{"11", "BARO"},
};

// The knob whose steps must be spaced, or empty; a command is a name and "key=value" words.
std::string_view PacedKnobOf(std::string_view command) {
    if (!command.starts_with("FG1000HardKeyPushed ")) {
        return {};
    }
    const std::string_view name = CommandArgument(command, "notification");
    for (const PacedNotification& paced : kPacedNotifications) {
        if (name == paced.Notification) {
            return paced.Knob;
        }
    }
    return {};
}

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \r\n") - first + 1);
}

// "/sim/version/flightgear = '2020.3.16' (string)" -> "FlightGear 2020.3.16".
std::string VersionText(std::string_view reply) {
    const auto open = reply.find('\'');
    const auto close = reply.rfind('\'');
    if (open == std::string_view::npos || close <= open + 1) {
        return "FlightGear answered: " + std::string(reply);
    }
    return "FlightGear " + std::string(reply.substr(open + 1, close - open - 1));
}

}  // namespace

FlightGearTransport::FlightGearTransport(std::string host, std::uint16_t port, LogSink& log,
                                         FlightGearTiming timing)
    : StatusTransport(log),
      Host(std::move(host)),
      Port(port),
      Log(log),
      Timing(timing),
      Socket(std::make_unique<QTcpSocket>()),
      RetryTimer(std::make_unique<QTimer>()),
      ConnectTimer(std::make_unique<QTimer>()),
      PaceTimer(std::make_unique<QTimer>()) {
    RetryTimer->setSingleShot(true);
    ConnectTimer->setSingleShot(true);
    PaceTimer->setSingleShot(true);
    QObject::connect(RetryTimer.get(), &QTimer::timeout, [this] { Connect(); });
    QObject::connect(ConnectTimer.get(), &QTimer::timeout, [this] {
        OnGone("no reply within " + std::to_string(Timing.Connect.count() / 1000) + " s");
    });
    QObject::connect(PaceTimer.get(), &QTimer::timeout, [this] { WritePacedSteps(); });
    QObject::connect(Socket.get(), &QTcpSocket::connected, [this] { OnConnected(); });
    QObject::connect(Socket.get(), &QTcpSocket::readyRead, [this] { OnReadable(); });
    QObject::connect(Socket.get(), &QTcpSocket::errorOccurred,
                     [this] { OnGone(Socket->errorString().toStdString()); });
    QObject::connect(Socket.get(), &QTcpSocket::disconnected,
                     [this] { OnGone("the connection was closed"); });
}

FlightGearTransport::~FlightGearTransport() {
    // No handler may run on a transport that is going away.
    Socket->disconnect();
    if (Socket->state() != QAbstractSocket::ConnectedState) {
        return;
    }
    Socket->write("quit\r\n");
    Socket->flush();
    // Only when the system's send buffer is full: a bounded wait, once, at the end.
    if (Socket->bytesToWrite() > 0) {
        Socket->waitForBytesWritten(200);
    }
    Socket->disconnectFromHost();
}

void FlightGearTransport::Start() {
    if (Started) {
        return;
    }
    Started = true;
    Status.Show("FlightGear: connecting to " + Address());
    Connect();
}

void FlightGearTransport::Press(std::string_view command) {
    if (Status.State() != LinkState::Connected || command.empty()) {
        return;
    }
    // A line break would end the command early and run the rest as a command of its own.
    if (command.find_first_of("\r\n") != std::string_view::npos) {
        Log.AppendLine("FlightGear: a command with a line break was not sent");
        return;
    }
    std::string line = "run ";
    line.append(command).append("\r\n");
    const std::string_view knobName = PacedKnobOf(command);
    if (knobName.empty()) {
        WriteLine(line, {});
        return;
    }
    PacedKnob& knob = Paced[std::string(knobName)];
    if (knob.Waiting.size() >= kMaxWaitingSteps) {
        if (!OverrunSaid) {
            OverrunSaid = true;
            Log.AppendLine("FlightGear: " + std::string(knobName) +
                           " turned faster than the FG1000 takes it; steps dropped");
        }
        return;
    }
    knob.Waiting.push_back(std::move(line));
    WritePacedSteps();
}

void FlightGearTransport::Hold(std::string_view, bool) {
    // Never asked: CanHold() is false.
}

void FlightGearTransport::Test(std::function<void(std::string)> done) {
    if (Status.State() != LinkState::Connected) {
        Answer(std::move(done), Status.State() == LinkState::Connecting
                                    ? "FlightGear: connecting to " + Address()
                                    : "FlightGear: no answer at " + Address());
        return;
    }
    const int number = ++TestCount;
    if (!WriteLine("get /sim/version/flightgear\r\n", Awaited{{}, done, number})) {
        Answer(std::move(done), "FlightGear: not answering at " + Address());
        return;
    }
    QTimer::singleShot(Timing.TestReply, Socket.get(), [this, number] {
        for (Awaited& awaited : Replies) {
            if (awaited.TestNumber == number && awaited.Tested) {
                Answer(std::exchange(awaited.Tested, {}),
                       "FlightGear: no answer within " + std::to_string(Timing.TestReply.count()) +
                           " ms");
            }
        }
    });
}

void FlightGearTransport::Connect() {
    Socket->abort();
    Socket->connectToHost(QString::fromStdString(Host), Port);
    ConnectTimer->start(Timing.Connect);
}

void FlightGearTransport::OnConnected() {
    ConnectTimer->stop();
    // Each command is a small write of its own: no waiting to fill a segment.
    Socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    Status.Enter(LinkState::Connected, "FlightGear: connected (" + Address() + ")");
}

void FlightGearTransport::OnGone(const std::string& reason) {
    // One loss is reported by more than one signal (an error, then the disconnection).
    if (RetryTimer->isActive()) {
        return;
    }
    RetryTimer->start(Timing.Retry);
    ConnectTimer->stop();
    PaceTimer->stop();
    for (Awaited& awaited : Replies) {
        if (awaited.Tested) {
            Answer(std::move(awaited.Tested), "FlightGear: " + reason);
        }
    }
    Replies.clear();
    Paced.clear();
    Received.clear();
    NotLoadedSaid = false;
    NotAnsweringSaid = false;
    OverrunSaid = false;
    Socket->abort();
    Status.Enter(LinkState::NoAnswer,
                 "FlightGear: no answer at " + Address() + " (" + reason + ")");
}

void FlightGearTransport::OnReadable() {
    const QByteArray bytes = Socket->readAll();
    Received.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    std::size_t end = 0;
    while ((end = Received.find(kPrompt)) != std::string::npos) {
        const std::string reply(Trimmed(std::string_view(Received).substr(0, end)));
        Received.erase(0, end + kPrompt.size());
        OnReply(reply);
    }
    if (Received.size() > kMaxReplyBytes) {
        OnGone("an answer that is not the props server's");
    }
}

void FlightGearTransport::OnReply(std::string_view reply) {
    if (Replies.empty()) {
        return;  // a prompt nobody asked for
    }
    Awaited awaited = std::move(Replies.front());
    Replies.pop_front();
    NotAnsweringSaid = false;
    if (!awaited.PacedKnob.empty()) {
        PacedKnob& knob = Paced[awaited.PacedKnob];
        knob.InFlight = false;
        knob.Answered = std::chrono::steady_clock::now();
        WritePacedSteps();
    }
    if (awaited.TestNumber != 0) {
        if (awaited.Tested) {
            Answer(std::move(awaited.Tested), VersionText(reply));
        }
        return;
    }
    if (reply.find("*failed*") != std::string_view::npos) {
        if (!NotLoadedSaid) {
            NotLoadedSaid = true;
            Status.Note("FlightGear: FG1000 not loaded");
        }
    } else if (reply.find("<completed>") != std::string_view::npos) {
        NotLoadedSaid = false;
    }
}

bool FlightGearTransport::WriteLine(std::string_view line, Awaited awaited) {
    if (Replies.size() >= kMaxAwaited) {
        if (!NotAnsweringSaid) {
            NotAnsweringSaid = true;
            Log.AppendLine("FlightGear: not answering at " + Address() + "; commands dropped");
        }
        return false;
    }
    Socket->write(line.data(), static_cast<qint64>(line.size()));
    Replies.push_back(std::move(awaited));
    return true;
}

void FlightGearTransport::Answer(std::function<void(std::string)> tested, std::string text) {
    QMetaObject::invokeMethod(
        Socket.get(), [tested = std::move(tested), text = std::move(text)] { tested(text); },
        Qt::QueuedConnection);
}

void FlightGearTransport::WritePacedSteps() {
    const auto now = std::chrono::steady_clock::now();
    auto next = std::chrono::steady_clock::time_point::max();
    for (auto& [name, knob] : Paced) {
        if (knob.InFlight || knob.Waiting.empty()) {
            continue;
        }
        // The step before must have been run (answered, however slow FlightGear's frames) and
        // the FG1000's copy refreshed since. Counted from the answer, 150 ms took every step of
        // ten-step turns at 26-56 frames a second; 100 ms lost one now and then, and spacing
        // the writes instead lost nine of ten at one frame a second.
        const auto due = knob.Answered + Timing.KnobSpacing;
        if (due > now) {
            next = std::min(next, due);
            continue;
        }
        if (WriteLine(knob.Waiting.front(), Awaited{name, {}, 0})) {
            knob.InFlight = true;
        }
        knob.Waiting.pop_front();
        if (knob.Waiting.empty()) {
            OverrunSaid = false;
        }
    }
    if (next != std::chrono::steady_clock::time_point::max()) {
        PaceTimer->start(std::chrono::ceil<std::chrono::milliseconds>(next - now));
    }
}

}  // namespace qel
