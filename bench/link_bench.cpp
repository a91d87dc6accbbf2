// The simulator link beside the keystroke path, over the program's own path: six virtual units
// send reports from their own threads, spread over each millisecond as independent panels send,
// through the virtual back end's read notification, the program's notification queue, the HID
// notification handling and DecodeReport; a control the link claims goes on through
// SimCommandOutput and the X-Plane UDP transport that MakeSimTransport makes from link
// settings, as a "CMND" datagram to a receiver on 127.0.0.1 reading on its own thread, as
// X-Plane would. Every unit has its own commands (shaped like the G1000's), so the receiver
// knows which unit a datagram came from.
//
// CommandLatency: each unit sends 1,000 reports a second, pressing and releasing in turn a
// button bound to a key and a button with a command. Latencies in microseconds from the report
// entering the back end: key_* to the key down at the injector, sent_* to the transport's
// return from sending the datagram, both on the main thread; recv_* to the receiver holding the
// datagram. *_ratio: that median over key_p50; send_call_p50_us: the transport's own time. The
// injector only timestamps, unless QEL_BENCH_XTEST=1 (see ScratchDisplayInjector).
//
// SendCall: the main thread's time for one call, one call a millisecond with the receiver
// asleep between: a bare sendto of the same datagram (the floor of any UDP link), the
// transport's Press, and with QEL_BENCH_XTEST=1 the key injector's key down.
//
// KnobFlood/N/M: each unit steps a knob with a command one detent in every report, 1,000 reports
// a second, for 5 s; the receiver's socket buffer is the system's default (N = 0) or N KiB, and
// it reads each datagram as it comes (M = 0) or all that wait every M ms, as a simulator busy
// drawing frames might.
// Counters: commands expected (one per report but each unit's first, which only primes its
// knob), sent by the transport, received, lost (sent less received), dropped by the receiver's
// kernel queue, keys typed instead of commands, reports dropped on the way in.

#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include <QCoreApplication>

#include "keymap/bindingslot.h"
#include "main_queue.h"
#include "core/device.h"
#include "core/hidhook.h"
#include "hid/virtual_library.h"
#include "platform/xtest_injector.h"
#include "percentile.h"
#include "simlink/command_table.h"
#include "simlink/sim_command_output.h"
#include "simnet/qt_scheduler.h"
#include "simnet/sim_transport_factory.h"
#include "translate/keygate.h"
#include "translate/translator.h"
#include "translate/units.h"
#include "translate/us_layout.h"

namespace {

using namespace qel;
using Clock = std::chrono::steady_clock;
using bench::Percentile;

constexpr int kReportsPerSecond = 1000;
constexpr auto kReportPeriod = std::chrono::microseconds(1'000'000 / kReportsPerSecond);
constexpr auto kLatencyRun = std::chrono::seconds(4);
constexpr auto kFloodRun = std::chrono::seconds(5);
constexpr auto kSettle = std::chrono::seconds(2);
constexpr int kMaxPresses = kReportsPerSecond * 10;
constexpr int kSendCalls = 2000;
constexpr std::size_t kUnitCount = kDeviceCount;

// softkey_1 on a bezel unit, com1 on an audio unit: types its key.
constexpr int kKeyButton = 13;
// softkey_2 on a bezel unit, com2 on an audio unit: sends its command.
int CommandButton(int device) {
    return device < kBezelUnitCount ? 14 : 16;
}
// nav_in on a bezel unit (0xC2 payload byte 0), coplt on an audio unit (0xC1 payload byte 0):
// the increment half.
int KnobUpSlot(int device) {
    return (device < kBezelUnitCount ? kBezelButtonCount : kAudioButtonCount) + 1;
}

std::string CommandFor(int device, std::string_view slotKey) {
    return "sim/GPS/g1000n" + std::to_string(device + 1) + "_" + std::string(slotKey);
}

// X-Plane over UDP to port, each unit's slot (by device index) with a command of its own.
LinkSettings BenchLink(std::uint16_t port, const std::function<int(int)>& slotOf) {
    LinkSettings settings;
    settings.Link = SimulatorKind::XPlane;
    settings.Host = "127.0.0.1";
    settings.Port = port;
    settings.Transport = XPlaneTransport::Udp;
    settings.Roles.fill(UnitRole::None);
    for (const UnitNames& unit : kUnits) {
        const int device = unit.Id.DeviceIndex();
        const std::string key = BindingKeyName(unit.Id, slotOf(device));
        settings.Commands.push_back({unit.Id, key, CommandFor(device, key)});
    }
    return settings;
}

// The unit whose command this is, or -1.
int UnitOf(const std::vector<std::string>& commands, std::string_view command) {
    for (std::size_t unit = 0; unit < commands.size(); ++unit) {
        if (commands[unit] == command) return static_cast<int>(unit);
    }
    return -1;
}

class DiscardingLog final : public LogSink {
public:
    void AppendLine(std::string_view line) override { benchmark::DoNotOptimize(line.data()); }
};

class KeptLog final : public LogSink {
public:
    void AppendLine(std::string_view line) override { Last = line; }
    std::string Last;
};

// QEL_BENCH_XTEST=1 asks for the program's XTest key injector on the X display $DISPLAY, which
// must be a scratch one (Xvfb): the keys go to whatever has the focus there.
bool XTestWanted() {
    const char* xtest = std::getenv("QEL_BENCH_XTEST");
    return xtest != nullptr && std::string_view(xtest) == "1";
}

// The XTest injector when wanted; null when not, or when no display opens. One connection for
// the whole run: Xvfb resets when its last client goes and turns the next one away meanwhile.
KeyInjector* ScratchDisplayInjector() {
    static DiscardingLog log;
    static const std::unique_ptr<KeyInjector> injector =
        XTestWanted() ? XTestInjector::Open(log, {}) : nullptr;
    return injector.get();
}

// Tells keyDown of each key down once inner (if any) has injected it.
class CallingInjector final : public KeyInjector {
public:
    CallingInjector(KeyInjector* inner, std::function<void(std::uint8_t)> keyDown)
        : Inner(inner), KeyDown(std::move(keyDown)) {}
    void KeyEvent(std::uint8_t virtualKey, bool down) override {
        if (Inner != nullptr) Inner->KeyEvent(virtualKey, down);
        if (down) KeyDown(virtualKey);
    }

private:
    KeyInjector* Inner;
    std::function<void(std::uint8_t)> KeyDown;
};

// The transport the settings name, telling sent of each command once it has sent it, with
// the time it was asked to.
class NotingTransport final : public SimTransport {
public:
    using Noted = std::function<void(std::string_view command, Clock::time_point asked)>;
    NotingTransport(std::unique_ptr<SimTransport> inner, Noted sent)
        : Inner(std::move(inner)), Sent(std::move(sent)) {}
    void Start() override { Inner->Start(); }
    [[nodiscard]] LinkState State() const override { return Inner->State(); }
    void SetStateListener(std::function<void(LinkState, std::string_view)> listener) override {
        Inner->SetStateListener(std::move(listener));
    }
    void Press(std::string_view command) override {
        const auto asked = Clock::now();
        Inner->Press(command);
        Sent(command, asked);
    }
    [[nodiscard]] bool CanHold() const override { return Inner->CanHold(); }
    void Hold(std::string_view command, bool active) override { Inner->Hold(command, active); }
    void Test(std::function<void(std::string)> done) override { Inner->Test(std::move(done)); }

private:
    std::unique_ptr<SimTransport> Inner;
    Noted Sent;
};

// The simulator's end: a UDP port on 127.0.0.1 read by a thread of its own, at once or every
// readEvery, which hands each command datagram's unit and the time it was read to arrived. Keeps
// the kernel's count of datagrams it dropped because the socket's buffer was full.
class Receiver {
public:
    Receiver(int bufferKiB, std::vector<std::string> commands,
             std::function<void(int unit, Clock::time_point)> arrived,
             std::chrono::milliseconds readEvery = {})
        : Commands(std::move(commands)), Arrived(std::move(arrived)), ReadEvery(readEvery) {
        Socket = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        const int on = 1;
        const timeval wait{0, 20'000};  // how soon Stop is noticed
        ::setsockopt(Socket, SOL_SOCKET, SO_RXQ_OVFL, &on, sizeof on);
        ::setsockopt(Socket, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        if (bufferKiB > 0) {
            // The kernel doubles this for its bookkeeping and caps it at net.core.rmem_max.
            const int bytes = bufferKiB * 1024;
            ::setsockopt(Socket, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
        }
        socklen_t size = sizeof BufferBytes;
        ::getsockopt(Socket, SOL_SOCKET, SO_RCVBUF, &BufferBytes, &size);
        if (::bind(Socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::getsockname(Socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return;
        }
        Port = ntohs(address.sin_port);
        Reader = std::thread([this] { Read(); });
    }
    ~Receiver() {
        Stop();
        ::close(Socket);
    }
    Receiver(const Receiver&) = delete;
    Receiver& operator=(const Receiver&) = delete;

    void Stop() {
        Stopping = true;
        if (Reader.joinable()) Reader.join();
    }

    std::uint16_t Port = 0;  // 0: the socket could not be bound
    int BufferBytes = 0;     // as the kernel set it
    std::atomic<std::uint64_t> Received{0};
    std::atomic<std::uint64_t> Unknown{0};
    std::atomic<std::uint32_t> KernelDrops{0};

private:
    void Read() {
        constexpr std::string_view kTag{"CMND\0", 5};
        std::array<char, 512> datagram{};
        alignas(cmsghdr) std::array<char, CMSG_SPACE(sizeof(std::uint32_t))> control{};
        while (!Stopping) {
            iovec part{datagram.data(), datagram.size()};
            msghdr message{};
            message.msg_iov = &part;
            message.msg_iovlen = 1;
            message.msg_control = control.data();
            message.msg_controllen = control.size();
            const ssize_t got =
                ::recvmsg(Socket, &message, ReadEvery.count() > 0 ? MSG_DONTWAIT : 0);
            const auto now = Clock::now();
            if (got < 0) {
                // Nothing (more) waiting, or the wait for Stop ran out.
                if (ReadEvery.count() > 0) std::this_thread::sleep_for(ReadEvery);
                continue;
            }
            for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
                if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SO_RXQ_OVFL) {
                    std::uint32_t drops = 0;
                    std::memcpy(&drops, CMSG_DATA(c), sizeof drops);
                    KernelDrops = drops;
                }
            }
            const std::string_view text(datagram.data(), static_cast<std::size_t>(got));
            const int unit =
                text.starts_with(kTag) ? UnitOf(Commands, text.substr(kTag.size())) : -1;
            if (unit < 0) {
                ++Unknown;
                continue;
            }
            Arrived(unit, now);
            ++Received;
        }
    }

    int Socket = -1;
    const std::vector<std::string> Commands;
    const std::function<void(int, Clock::time_point)> Arrived;
    const std::chrono::milliseconds ReadEvery;
    std::atomic<bool> Stopping{false};
    std::thread Reader;
};

struct NoView final : DeviceStatusView {
    void SetUnitCaption(UnitId, std::string_view) override {}
    void SetConnectedText(std::string_view) override {}
};

// The program's objects from the back end to the transport, the benchmark's thread playing the
// main thread. Link settings are read as the program reads them: table, transport, output.
class LinkRig {
public:
    LinkRig(UnitStates& units, KeyInjector& injector, const LinkSettings& settings,
            NotingTransport::Noted sent)
        : Table(settings),
          Transport(MakeSimTransport(settings, Table, TransportLog), std::move(sent)),
          Output(Table, Transport, Tasks),
          Translator(units, injector, Log, Gate, Layout),
          Device(MakeLibrary(), Queue.Poster()),
          Hook(Device, View, [this](UnitId unit, ReceiveBuffer buffer) {
              Translator.DecodeReport(unit, buffer);
          }) {
        Translator.SetCommandOutput(&Output);
    }
    ~LinkRig() {
        Translator.SetCommandOutput(nullptr);
        Device.Disconnect();
    }
    LinkRig(const LinkRig&) = delete;
    LinkRig& operator=(const LinkRig&) = delete;

    // Plugs the six units and starts the link; false, with why, when either does not come up.
    bool Connect(std::string& problem) {
        for (int i = 0; i < kDeviceCount; ++i) {
            Panels->Plug(kFirstBezelProductId + i);
        }
        Transport.Start();
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while ((Hook.ConnectedCount < kDeviceCount || Transport.State() != LinkState::Connected) &&
               Clock::now() < deadline) {
            Pump();
        }
        if (Transport.State() != LinkState::Connected) {
            problem = "link not connected: " + TransportLog.Last;
        } else if (Hook.ConnectedCount < kDeviceCount) {
            problem = "the virtual units did not connect";
        }
        return problem.empty();
    }

    // Six unit threads each send report(device, n, bytes) n = 0, 1, ... at 1,000 a second while
    // the main thread handles them, for duration. Returns the reports sent.
    using ReportMaker = std::function<void(int device, int n, std::vector<std::uint8_t>& bytes)>;
    std::uint64_t Run(Clock::duration duration, const ReportMaker& report) {
        std::atomic<bool> stop{false};
        std::atomic<std::uint64_t> sent{0};
        std::vector<std::thread> units;
        for (int i = 0; i < kDeviceCount; ++i) {
            units.emplace_back([&, i] {
                std::vector<std::uint8_t> bytes;
                // Spread over the millisecond, as independent panels send.
                auto next = Clock::now() + i * kReportPeriod / kDeviceCount;
                for (int n = 0; !stop && n < 4 * kMaxPresses; ++n) {
                    next += kReportPeriod;
                    std::this_thread::sleep_until(next);
                    report(i, n, bytes);
                    Panels->SendReport(kFirstBezelProductId + i, bytes);
                    ++sent;
                }
            });
        }
        const auto end = Clock::now() + duration;
        while (Clock::now() < end) {
            Pump();
        }
        stop = true;
        for (auto& t : units) {
            t.join();
        }
        // What is still queued is handled before anything is counted.
        const auto deadline = Clock::now() + kSettle;
        while (static_cast<std::uint64_t>(Hook.ReadCount) + Queue.DroppedReports() < sent &&
               Clock::now() < deadline) {
            Pump();
        }
        return sent;
    }

    void Pump() {
        Queue.HandleWith([this](const HidNotification& n) { Hook.HidMessageHook(n); });
        // The transports live on Qt's event loop, which the program's main thread runs.
        QCoreApplication::processEvents();
    }

    [[nodiscard]] bool LinkUp() const { return Transport.State() == LinkState::Connected; }
    [[nodiscard]] std::uint64_t DroppedReports() const { return Queue.DroppedReports(); }

private:
    std::unique_ptr<VirtualPanels> MakeLibrary() {
        auto library = std::make_unique<VirtualPanels>();
        Panels = library.get();
        return library;
    }

    KeptLog TransportLog;
    DiscardingLog Log;
    FlagKeyGate Gate;
    const UsEnglishLayout Layout;
    QtScheduler Tasks;
    CommandTable Table;
    NotingTransport Transport;
    SimCommandOutput Output;
    InputTranslator Translator;
    bench::MainQueue Queue;
    VirtualPanels* Panels = nullptr;
    TDeviceDM Device;
    NoView View;
    HidHook Hook;
};

// Each unit's command of slotOf(device), by device index, as BenchLink gives them.
std::vector<std::string> UnitCommands(const std::function<int(int)>& slotOf) {
    std::vector<std::string> commands;
    for (const UnitNames& unit : kUnits) {
        const int device = unit.Id.DeviceIndex();
        commands.push_back(CommandFor(device, BindingKeyName(unit.Id, slotOf(device))));
    }
    return commands;
}

double MicrosecondsSince(std::int64_t sent, Clock::time_point now) {
    return std::chrono::duration<double, std::micro>(now - Clock::time_point(Clock::duration(sent)))
        .count();
}

// The send times of one kind of press, per unit, matched in order by whoever times the far end.
using PressTimes = std::array<std::array<std::atomic<std::int64_t>, kMaxPresses>, kUnitCount>;

void CommandLatency(benchmark::State& state) {
    for (auto _ : state) {
        auto keyPresses = std::make_unique<PressTimes>();
        auto commandPresses = std::make_unique<PressTimes>();
        std::vector<double> keyUs;
        std::vector<double> sentUs;
        std::vector<double> recvUs;
        std::vector<double> sendUs;  // the transport's own time per command
        std::array<int, kUnitCount> keysSeen{};
        std::array<int, kUnitCount> sentSeen{};
        std::array<int, kUnitCount> recvSeen{};
        const auto late = [](PressTimes& presses, std::array<int, kUnitCount>& seen, int unit,
                             Clock::time_point now, std::vector<double>& into) {
            const auto u = static_cast<std::size_t>(unit);
            const int n = seen[u]++;
            if (n < kMaxPresses) {
                into.push_back(MicrosecondsSince(presses[u][static_cast<std::size_t>(n)], now));
            }
        };

        UnitStates units;
        AssignCatalogueNames(units);
        for (int u = 0; u < kBezelUnitCount; ++u) {
            units.BezelUnits[static_cast<std::size_t>(u)].Buttons[kKeyButton].Key = 'A' + u;
        }
        for (int u = 0; u < kAudioUnitCount; ++u) {
            units.AudioUnits[static_cast<std::size_t>(u)].Buttons[kKeyButton].Key =
                'A' + kBezelUnitCount + u;
        }
        KeyInjector* const display = ScratchDisplayInjector();
        CallingInjector injector(display, [&](std::uint8_t vk) {
            const auto now = Clock::now();
            if (vk >= 'A' && vk < 'A' + kDeviceCount)
                late(*keyPresses, keysSeen, vk - 'A', now, keyUs);
        });
        const std::vector<std::string> commands = UnitCommands(CommandButton);
        Receiver receiver(0, commands, [&](int unit, Clock::time_point now) {
            late(*commandPresses, recvSeen, unit, now, recvUs);
        });
        LinkRig rig(
            units, injector, BenchLink(receiver.Port, CommandButton),
            [&](std::string_view command, Clock::time_point asked) {
                const auto now = Clock::now();
                sendUs.push_back(std::chrono::duration<double, std::micro>(now - asked).count());
                const int unit = UnitOf(commands, command);
                if (unit >= 0) late(*commandPresses, sentSeen, unit, now, sentUs);
            });
        std::string problem;
        if (XTestWanted() && display == nullptr)
            problem = "QEL_BENCH_XTEST=1, but no X display with XTest opens";
        if (receiver.Port == 0 || !problem.empty() || !rig.Connect(problem)) {
            state.SkipWithError(problem.empty() ? "no receiver socket" : problem.c_str());
            return;
        }

        // Press the key button, release it, press the command button, release it.
        rig.Run(kLatencyRun, [&](int device, int n, std::vector<std::uint8_t>& bytes) {
            const bool bezel = device < kBezelUnitCount;
            bytes.assign(8, 0);
            bytes[kReportTypeOffset] = bezel ? kReportC1 : kReportC2;
            const int button = n % 4 < 2 ? kKeyButton : CommandButton(device);
            if (n % 2 == 0) {
                bytes[kPayloadOffset + static_cast<std::size_t>(button / 8)] =
                    static_cast<std::uint8_t>(1U << (button % 8));
                PressTimes& presses = n % 4 == 0 ? *keyPresses : *commandPresses;
                presses[static_cast<std::size_t>(device)][static_cast<std::size_t>(n / 4)] =
                    Clock::now().time_since_epoch().count();
            }
        });
        std::uint64_t sent = 0;
        for (const int count : sentSeen) sent += static_cast<std::uint64_t>(count);
        const auto deadline = Clock::now() + kSettle;
        while (receiver.Received < sent && Clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        receiver.Stop();

        const double keyP50 = Percentile(keyUs, 0.50);
        state.counters["key_p50_us"] = keyP50;
        state.counters["key_p99_us"] = Percentile(keyUs, 0.99);
        state.counters["sent_p50_us"] = Percentile(sentUs, 0.50);
        state.counters["sent_p99_us"] = Percentile(sentUs, 0.99);
        state.counters["send_call_p50_us"] = Percentile(sendUs, 0.50);
        state.counters["recv_p50_us"] = Percentile(recvUs, 0.50);
        state.counters["recv_p99_us"] = Percentile(recvUs, 0.99);
        state.counters["sent_ratio"] = keyP50 > 0 ? Percentile(sentUs, 0.50) / keyP50 : 0;
        state.counters["recv_ratio"] = keyP50 > 0 ? Percentile(recvUs, 0.50) / keyP50 : 0;
        state.counters["keys"] = static_cast<double>(keyUs.size());
        state.counters["commands"] = static_cast<double>(sent);
        state.counters["lost"] =
            static_cast<double>(sent - std::min(sent, receiver.Received.load()));
        state.counters["dropped"] = static_cast<double>(rig.DroppedReports());
        state.counters["link_up"] = rig.LinkUp() ? 1 : 0;
        state.counters["xtest"] = display != nullptr ? 1 : 0;
    }
}
BENCHMARK(CommandLatency)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Waits on the event loop for transport to connect; false when it has not within 5 s.
bool Connected(SimTransport& transport) {
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (transport.State() != LinkState::Connected && Clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return transport.State() == LinkState::Connected;
}

void SendCall(benchmark::State& state) {
    for (auto _ : state) {
        const std::vector<std::string> commands = UnitCommands(CommandButton);
        Receiver receiver(0, commands, [](int, Clock::time_point) {});
        KeptLog log;
        const LinkSettings settings = BenchLink(receiver.Port, CommandButton);
        const CommandTable table(settings);
        const std::unique_ptr<SimTransport> transport = MakeSimTransport(settings, table, log);
        transport->Start();
        if (receiver.Port == 0 || !Connected(*transport)) {
            state.SkipWithError(("link not connected: " + log.Last).c_str());
            return;
        }
        KeyInjector* const keys = ScratchDisplayInjector();
        if (XTestWanted() && keys == nullptr) {
            state.SkipWithError("QEL_BENCH_XTEST=1, but no X display with XTest opens");
            return;
        }
        const int bare = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(receiver.Port);
        const std::string datagram = std::string("CMND", 5) + commands.front();

        std::array<std::vector<double>, 3> us;  // bare sendto, transport, key injector
        for (int i = 0; i < 3 * kSendCalls; ++i) {
            std::this_thread::sleep_for(kReportPeriod);
            const int kind = i % 3;
            const auto start = Clock::now();
            if (kind == 0) {
                ::sendto(bare, datagram.data(), datagram.size(), 0,
                         reinterpret_cast<const sockaddr*>(&to), sizeof to);
            } else if (kind == 1) {
                transport->Press(commands.front());
            } else if (keys != nullptr) {
                keys->KeyEvent('A', true);
            }
            us[static_cast<std::size_t>(kind)].push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - start).count());
            if (kind == 2 && keys != nullptr) keys->KeyEvent('A', false);
        }
        ::close(bare);
        const double floor = Percentile(us[0], 0.50);
        state.counters["bare_p50_us"] = floor;
        state.counters["bare_p99_us"] = Percentile(us[0], 0.99);
        state.counters["transport_p50_us"] = Percentile(us[1], 0.50);
        state.counters["transport_p99_us"] = Percentile(us[1], 0.99);
        state.counters["transport_ratio"] = floor > 0 ? Percentile(us[1], 0.50) / floor : 0;
        if (keys != nullptr) {
            state.counters["xtest_down_p50_us"] = Percentile(us[2], 0.50);
            state.counters["xtest_down_p99_us"] = Percentile(us[2], 0.99);
        }
    }
}
BENCHMARK(SendCall)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void KnobFlood(benchmark::State& state) {
    const auto bufferKiB = static_cast<int>(state.range(0));
    for (auto _ : state) {
        UnitStates units;
        AssignCatalogueNames(units);
        // Bound to keys as well: a step the link gave up would type one.
        for (auto& bezel : units.BezelUnits) bezel.Rotaries[0].IncrKey = 'A';
        for (auto& audio : units.AudioUnits) audio.Rotaries[0].IncrKey = 'A';
        std::uint64_t typed = 0;
        CallingInjector injector(nullptr, [&](std::uint8_t) { ++typed; });
        std::uint64_t sent = 0;
        Receiver receiver(
            bufferKiB, UnitCommands(KnobUpSlot), [](int, Clock::time_point) {},
            std::chrono::milliseconds(state.range(1)));
        LinkRig rig(units, injector, BenchLink(receiver.Port, KnobUpSlot),
                    [&](std::string_view, Clock::time_point) { ++sent; });
        std::string problem;
        if (receiver.Port == 0 || !rig.Connect(problem)) {
            state.SkipWithError(problem.empty() ? "no receiver socket" : problem.c_str());
            return;
        }

        // Knob 0 of the unit's counter report, one detent (two counts) further in every report.
        const std::uint64_t reports =
            rig.Run(kFloodRun, [](int device, int n, std::vector<std::uint8_t>& bytes) {
                bytes.assign(2 + kRotariesPerReport, 0);
                bytes[kReportTypeOffset] = device < kBezelUnitCount ? kReportC2 : kReportC1;
                bytes[kPayloadOffset] = static_cast<std::uint8_t>(2 * n);
            });
        const auto deadline = Clock::now() + kSettle;
        while (receiver.Received < sent && Clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        receiver.Stop();

        const std::uint64_t received = receiver.Received;
        state.counters["reports"] = static_cast<double>(reports);
        state.counters["expected"] = static_cast<double>(reports - kUnitCount);
        state.counters["sent"] = static_cast<double>(sent);
        state.counters["received"] = static_cast<double>(received);
        state.counters["lost"] = static_cast<double>(sent - std::min(sent, received));
        state.counters["kernel_drops"] = receiver.KernelDrops.load();
        state.counters["unknown"] = static_cast<double>(receiver.Unknown.load());
        state.counters["typed"] = static_cast<double>(typed);
        state.counters["dropped"] = static_cast<double>(rig.DroppedReports());
        state.counters["rcvbuf_kib"] = receiver.BufferBytes / 1024;
        state.counters["read_every_ms"] = static_cast<double>(state.range(1));
        state.counters["link_up"] = rig.LinkUp() ? 1 : 0;
    }
}
BENCHMARK(KnobFlood)
    ->Args({0, 0})
    ->Args({0, 50})
    ->Args({4096, 50})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

// The transports need Qt's event loop, so the program makes its application first.
int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
