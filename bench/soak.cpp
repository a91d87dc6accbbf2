// soak: the notification path under a long, steady load.
//
//   soak DURATION_SECONDS [SEED]
//
// Six virtual units (four bezel, two audio) each send 1,000 input reports a second from their
// own thread for the given time, with random buttons, knobs and the joystick moving. The
// reports take the program's route: the virtual back end's per-device queues and Read
// notifications, a main-thread queue, HidHook, InputTranslator::DecodeReport and SendKey into a
// key injector. Every control is bound (some bindings with modifiers) from a generated
// keymap.ini.
//
// What each report should produce is worked out as qel1000replay works it out: each unit's
// thread runs its reports, in sending order, through its own replay session on the same key map
// before it sends them, and queues the key events that session prints. The injector takes each
// key event of the decoded unit off that unit's queue and compares: an event with nothing queued
// is a duplicate, a different event a mismatch, and what is left at the end was missed.
//
// Prints resident memory after the first minute (a third of the run when shorter) and at the
// end, the queues' high-water marks and mean backlogs, reports sent and read, and keystrokes
// expected and injected. Exits 1 on any missed, duplicated or wrong key event, a lost report,
// backlog growth between the first and last thirds, or resident memory growth above 1 MiB
// (not checked in sanitizer builds).

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <unistd.h>

#include "main_queue.h"
#include "keymap/ini_profile_store.h"
#include "core/device.h"
#include "core/hidhook.h"
#include "hid/virtual_library.h"
#include "platform/file_access_factory.h"
#include "tools/replay/session.h"
#include "translate/keygate.h"
#include "translate/translator.h"
#include "translate/units.h"
#include "translate/us_layout.h"

namespace {

using namespace qel;
using Clock = std::chrono::steady_clock;

constexpr int kReportsPerSecond = 1000;
constexpr auto kReportPeriod = std::chrono::microseconds(1'000'000 / kReportsPerSecond);
// A unit thread that wakes this late skips ahead rather than bursting to catch up: real panels
// do not send faster after the host was slow.
constexpr auto kMaxCatchUp = std::chrono::milliseconds(20);
constexpr auto kSamplePeriod = std::chrono::milliseconds(100);
constexpr auto kCheckpointAfter = std::chrono::seconds(60);
constexpr long kAllowedRssGrowthKiB = 1024;
// Sanitizers hold freed memory back on purpose (AddressSanitizer's quarantine fills for
// hundreds of MiB), so resident memory says nothing about leaks there; they report leaks
// themselves.
#ifdef QEL_SOAK_SANITIZED
constexpr bool kCheckResidentMemory = false;
#else
constexpr bool kCheckResidentMemory = true;
#endif
// Mean backlog (reports) the last third may exceed the first third's by, before it counts as
// growth: scheduling noise on a busy machine, far below the device queue's capacity.
constexpr double kAllowedBacklogGrowth = 16.0;

struct KeyEventRecord {
    std::uint8_t VirtualKey = 0;
    bool Down = false;
    bool operator==(const KeyEventRecord&) const = default;
};

// One unit's account: the key events its sent reports imply and have not yet been injected.
struct UnitLedger {
    std::mutex Mutex;
    std::deque<KeyEventRecord> Owed;     // guarded by Mutex
    std::size_t OwedHighWater = 0;       // guarded by Mutex
    std::uint64_t ExpectedLogLines = 0;  // guarded by Mutex

    std::atomic<std::uint64_t> Sent{0};
    std::atomic<std::uint64_t> Expected{0};
    // Main thread only.
    std::uint64_t Read = 0;
    std::uint64_t Injected = 0;
    std::uint64_t Duplicated = 0;
    std::uint64_t Wrong = 0;
};

using Ledgers = std::array<UnitLedger, kDeviceCount>;

// The key injector of the soak: checks each event against the decoded unit's ledger.
class CheckingInjector final : public KeyInjector {
public:
    explicit CheckingInjector(Ledgers& ledgers) : Books(ledgers) {}

    std::optional<UnitId> CurrentUnit;  // set around each DecodeReport
    std::uint64_t Stray = 0;            // events outside any report

    void KeyEvent(std::uint8_t virtualKey, bool down) override {
        if (!CurrentUnit) {
            ++Stray;
            return;
        }
        UnitLedger& ledger = Books[static_cast<std::size_t>(CurrentUnit->DeviceIndex())];
        ++ledger.Injected;
        std::lock_guard lock(ledger.Mutex);
        if (ledger.Owed.empty()) {
            ++ledger.Duplicated;
            return;
        }
        if (ledger.Owed.front() != KeyEventRecord{virtualKey, down}) {
            ++ledger.Wrong;
        }
        ledger.Owed.pop_front();
    }

private:
    Ledgers& Books;
};

class CountingLog final : public LogSink {
public:
    void AppendLine(std::string_view) override { ++Lines; }
    std::uint64_t Lines = 0;
};

struct NoView final : DeviceStatusView {
    void SetUnitCaption(UnitId, std::string_view) override {}
    void SetConnectedText(std::string_view) override {}
};

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmRSS:")) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

// The report bytes (from the report ID on) a unit sends: random moves of its controls.
class ControlMover {
public:
    ControlMover(UnitId unit, std::uint32_t seed)
        : Bezel(unit.Kind == UnitKind::Bezel), Random(seed) {}

    std::span<const std::uint8_t> Next() {
        Report.fill(0);
        const unsigned pick = Random() % 100;
        if (Bezel) {
            if (pick < 40) {
                ButtonReport(kReportC1, kBezelButtonCount);
                if (Random() % 4 == 0) {
                    // Push bit and one of the sixteen switch codes, some of which mean centre.
                    Pan = static_cast<std::uint8_t>(Random() % 32);
                }
                Report[kPayloadOffset + kPanPayloadByte] = Pan;
            } else {
                const bool first = pick < 70;
                CounterReport(first ? kReportC2 : kReportC3, first ? 0 : kRotariesPerReport,
                              kRotariesPerReport);
            }
        } else if (pick < 50) {
            CounterReport(kReportC1, 0, kAudioRotaryCount);
        } else {
            ButtonReport(kReportC2, kAudioButtonCount);
        }
        return Report;
    }

private:
    // One random button changes in about half the reports; the rest repeat the state.
    void ButtonReport(std::uint8_t type, int buttons) {
        Report[kReportTypeOffset] = type;
        if (Random() % 2 == 0) {
            const unsigned button = Random() % static_cast<unsigned>(buttons);
            Buttons[button / 8] ^= static_cast<std::uint8_t>(1U << (button % 8));
        }
        std::copy_n(Buttons.begin(), buttons / 8, Report.begin() + kPayloadOffset);
    }
    // One random knob of the report moves 1-3 steps either way in most reports.
    void CounterReport(std::uint8_t type, int first, int count) {
        Report[kReportTypeOffset] = type;
        if (Random() % 4 != 0) {
            const auto knob =
                static_cast<std::size_t>(first) + Random() % static_cast<unsigned>(count);
            const int step = static_cast<int>(Random() % 3) + 1;
            Counters[knob] =
                static_cast<std::uint8_t>(Counters[knob] + (Random() % 2 == 0 ? step : -step));
        }
        std::copy_n(Counters.begin() + first, count, Report.begin() + kPayloadOffset);
    }

    const bool Bezel;
    std::mt19937 Random;
    std::array<std::uint8_t, 2 + 7> Report{};
    std::array<std::uint8_t, kBezelButtonCount / 8> Buttons{};
    std::array<std::uint8_t, kBezelRotaryCount> Counters{};
    std::uint8_t Pan = 0;
};

// Every binding slot of every unit gets a random key; one in four has modifiers.
void WriteRandomKeyMap(const std::string& file, ProfileStore& store, std::mt19937& random) {
    std::ostringstream discard;
    replay::ReplaySession writer(file, store, discard);
    constexpr std::array<std::uint8_t, 6> kModifierless{0x41, 0x5A, 0x30, 0x39, 0x70, 0x7B};
    for (const UnitNames& unit : kUnits) {
        const int slots = unit.Id.Kind == UnitKind::Bezel ? kBezelSlotCount : kAudioSlotCount;
        // Slots past the last are ignored; covering both ends is cheaper than knowing the base.
        for (int slot = 0; slot <= slots; ++slot) {
            const std::size_t range = 2 * (random() % 3);
            const std::uint8_t low = kModifierless[range];
            const std::uint8_t high = kModifierless[range + 1];
            KeyCode code =
                low + static_cast<KeyCode>(random() % static_cast<unsigned>(high - low + 1));
            if (random() % 4 == 0) {
                code |=
                    (random() % 2 == 0 ? kShiftBit : kCtrlBit) | (random() % 3 == 0 ? kAltBit : 0);
            }
            (void)writer.Run(replay::WriteCommand{unit.Id, slot, code});
        }
    }
}

// Reads the replay session's printed lines into the ledger and empties the stream.
void Owe(std::ostringstream& printed, UnitLedger& ledger) {
    const std::string text = printed.str();
    printed.str({});
    std::uint64_t events = 0;
    std::lock_guard lock(ledger.Mutex);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string_view line(text.data() + start, end - start);
        const bool down = line.starts_with("down ");
        if (down || line.starts_with("up ")) {
            const auto vk = static_cast<std::uint8_t>(
                std::strtoul(std::string(line.substr(down ? 5 : 3)).c_str(), nullptr, 16));
            ledger.Owed.push_back({vk, down});
            ++events;
        } else if (line.starts_with("log ")) {
            ++ledger.ExpectedLogLines;
        }
        start = end + 1;
    }
    ledger.OwedHighWater = std::max(ledger.OwedHighWater, ledger.Owed.size());
    ledger.Expected += events;
}

// Mean and peak of a sampled quantity over one third of the run.
struct Phase {
    double Sum = 0;
    std::uint64_t Samples = 0;
    std::uint64_t Peak = 0;
    void Add(std::uint64_t value) {
        Sum += static_cast<double>(value);
        ++Samples;
        Peak = std::max(Peak, value);
    }
    [[nodiscard]] double Mean() const {
        return Samples == 0 ? 0 : Sum / static_cast<double>(Samples);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: soak DURATION_SECONDS [SEED]\n");
        return 2;
    }
    const long seconds = std::strtol(argv[1], nullptr, 10);
    const auto seed = static_cast<std::uint32_t>(argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1);
    if (seconds <= 0) {
        std::fprintf(stderr, "soak: the duration must be a positive number of seconds\n");
        return 2;
    }
    const auto duration = std::chrono::seconds(seconds);
    const auto checkpointAfter = std::min<Clock::duration>(kCheckpointAfter, duration / 3);

    // The key map, in a directory of its own.
    std::mt19937 random(seed);
    const auto directory = std::filesystem::temp_directory_path() /
                           ("qel-soak-" + std::to_string(::getpid()) + "-" + std::to_string(seed));
    std::filesystem::create_directories(directory);
    const std::string keyMap = (directory / "keymap.ini").string();
    auto fileAccess = CreateFileAccess();
    IniProfileStore store(*fileAccess);
    WriteRandomKeyMap(keyMap, store, random);

    // One replay session per unit for the expected key events; the program's own translator
    // starts from the same bindings.
    std::array<std::ostringstream, kDeviceCount> printed;
    std::vector<std::unique_ptr<replay::ReplaySession>> sessions;
    for (auto& out : printed) {
        sessions.push_back(std::make_unique<replay::ReplaySession>(keyMap, store, out));
        out.str({});
    }
    std::filesystem::remove_all(directory);

    auto units = std::make_unique<UnitStates>(sessions.front()->Units());
    auto ledgers = std::make_unique<Ledgers>();
    CheckingInjector injector(*ledgers);
    CountingLog log;
    FlagKeyGate gate;
    const UsEnglishLayout layout;
    InputTranslator translator(*units, injector, log, gate, layout);

    bench::MainQueue queue;
    auto library = std::make_unique<VirtualPanels>();
    VirtualPanels& panels = *library;
    TDeviceDM device(std::move(library), queue.Poster());
    NoView view;
    HidHook hook(device, view, [&](UnitId unit, ReceiveBuffer buffer) {
        injector.CurrentUnit = unit;
        ++(*ledgers)[static_cast<std::size_t>(unit.DeviceIndex())].Read;
        translator.DecodeReport(unit, buffer);
        injector.CurrentUnit.reset();
    });
    const auto handleBatch = [&] {
        queue.HandleWith([&](const HidNotification& n) { hook.HidMessageHook(n); });
    };

    for (int i = 0; i < kDeviceCount; ++i) {
        panels.Plug(kFirstBezelProductId + i);
    }
    while (hook.ConnectedCount < kDeviceCount) {
        handleBatch();
    }

    std::atomic<bool> stop{false};
    std::atomic<std::uint64_t> slips{0};
    std::vector<std::thread> unitThreads;
    for (int i = 0; i < kDeviceCount; ++i) {
        unitThreads.emplace_back([&, i, unitSeed = random()] {
            const auto index = static_cast<std::size_t>(i);
            const int productId = kFirstBezelProductId + i;
            UnitLedger& ledger = (*ledgers)[index];
            ControlMover mover(kUnits[index].Id, unitSeed);
            replay::ReportCommand command{productId, {}};
            auto next = Clock::now();
            while (!stop.load(std::memory_order_relaxed)) {
                next += kReportPeriod;
                std::this_thread::sleep_until(next);
                if (Clock::now() - next > kMaxCatchUp) {
                    next = Clock::now();
                    ++slips;
                }
                const auto bytes = mover.Next();
                command.Buffer.fill(0);
                std::copy(bytes.begin(), bytes.end(), command.Buffer.begin());
                (void)sessions[index]->Run(command);
                Owe(printed[index], ledger);
                // Counted first, so that reports read never outnumber reports sent.
                ++ledger.Sent;
                panels.SendReport(productId, bytes);
            }
        });
    }

    // The main thread handles notifications and samples the backlogs.
    const auto start = Clock::now();
    const auto end = start + duration;
    std::array<Phase, 3> backlog;  // reports sent and not yet read, all units together
    std::uint64_t deviceBacklogHighWater = 0;
    long rssCheckpoint = -1;
    auto nextSample = start + kSamplePeriod;
    while (Clock::now() < end) {
        handleBatch();
        const auto now = Clock::now();
        if (now >= nextSample) {
            nextSample += kSamplePeriod;
            std::uint64_t waiting = 0;
            for (UnitLedger& ledger : *ledgers) {
                const std::uint64_t unread = ledger.Sent.load() - ledger.Read;
                deviceBacklogHighWater = std::max(deviceBacklogHighWater, unread);
                waiting += unread;
            }
            const auto elapsedThirds = static_cast<std::size_t>(3 * (now - start) / duration);
            const std::size_t third = std::min<std::size_t>(2, elapsedThirds);
            backlog[third].Add(waiting);
            if (rssCheckpoint < 0 && now - start >= checkpointAfter) {
                rssCheckpoint = ResidentKiB();
            }
        }
    }
    const long rssEnd = ResidentKiB();

    stop = true;
    for (auto& t : unitThreads) {
        t.join();
    }
    // Every report sent is now queued; read them all before settling the accounts.
    const auto drainLimit = Clock::now() + std::chrono::seconds(10);
    auto allRead = [&] {
        return std::all_of(ledgers->begin(), ledgers->end(),
                           [](UnitLedger& l) { return l.Read >= l.Sent.load(); });
    };
    while (!allRead() && Clock::now() < drainLimit) {
        handleBatch();
    }
    handleBatch();
    device.Disconnect();

    std::uint64_t sent = 0, read = 0, expected = 0, injected = 0, missed = 0, duplicated = 0,
                  wrong = 0;
    std::uint64_t expectedLog = 0;
    std::size_t owedHighWater = 0;
    for (UnitLedger& ledger : *ledgers) {
        std::lock_guard lock(ledger.Mutex);
        sent += ledger.Sent;
        read += ledger.Read;
        expected += ledger.Expected;
        injected += ledger.Injected;
        missed += ledger.Owed.size();
        duplicated += ledger.Duplicated;
        wrong += ledger.Wrong;
        expectedLog += ledger.ExpectedLogLines;
        owedHighWater = std::max(owedHighWater, ledger.OwedHighWater);
    }
    const double seconds1 = std::chrono::duration<double>(duration).count();
    std::printf("soak: %ld s, seed %u, six units at %d reports/s each\n", seconds, seed,
                kReportsPerSecond);
    std::printf(
        "reports sent %llu (%.0f/s), read %llu, dropped by the notification queue %llu, sender "
        "slips "
        "%llu\n",
        static_cast<unsigned long long>(sent), static_cast<double>(sent) / seconds1,
        static_cast<unsigned long long>(read),
        static_cast<unsigned long long>(queue.DroppedReports()),
        static_cast<unsigned long long>(slips.load()));
    std::printf(
        "key events expected %llu, injected %llu, missed %llu, duplicated %llu, wrong %llu, stray "
        "%llu\n",
        static_cast<unsigned long long>(expected), static_cast<unsigned long long>(injected),
        static_cast<unsigned long long>(missed), static_cast<unsigned long long>(duplicated),
        static_cast<unsigned long long>(wrong), static_cast<unsigned long long>(injector.Stray));
    std::printf("log lines expected %llu, logged %llu\n",
                static_cast<unsigned long long>(expectedLog),
                static_cast<unsigned long long>(log.Lines));
    std::printf(
        "queue high-water: main queue %zu notifications, device backlog %llu reports, owed key "
        "events %zu\n",
        queue.HighWaterMark(), static_cast<unsigned long long>(deviceBacklogHighWater),
        owedHighWater);
    std::printf(
        "mean backlog (reports, all units) by third: %.2f %.2f %.2f; peaks %llu %llu %llu\n",
        backlog[0].Mean(), backlog[1].Mean(), backlog[2].Mean(),
        static_cast<unsigned long long>(backlog[0].Peak),
        static_cast<unsigned long long>(backlog[1].Peak),
        static_cast<unsigned long long>(backlog[2].Peak));
    std::printf("resident memory: %ld KiB after %.0f s, %ld KiB at the end (%+ld KiB)\n",
                rssCheckpoint, std::chrono::duration<double>(checkpointAfter).count(), rssEnd,
                rssEnd - rssCheckpoint);

    std::vector<std::string> failures;
    if (missed != 0 || duplicated != 0 || wrong != 0 || injector.Stray != 0 ||
        injected != expected) {
        failures.push_back("key events differ from what the reports imply");
    }
    if (expectedLog != log.Lines) {
        failures.push_back("log lines differ from what the reports imply");
    }
    if (read != sent || queue.DroppedReports() != 0) {
        failures.push_back("reports were lost");
    }
    if (backlog[2].Mean() > backlog[0].Mean() + kAllowedBacklogGrowth) {
        failures.push_back("the backlog grew");
    }
    if (!kCheckResidentMemory) {
        std::printf("resident memory not checked: sanitizer build\n");
    } else if (rssCheckpoint < 0 || rssEnd < 0 || rssEnd - rssCheckpoint > kAllowedRssGrowthKiB) {
        failures.push_back("resident memory grew by more than 1 MiB");
    }
    for (const std::string& failure : failures) {
        std::printf("FAIL: %s\n", failure.c_str());
    }
    if (failures.empty()) {
        std::printf("PASS\n");
    }
    return failures.empty() ? 0 : 1;
}
