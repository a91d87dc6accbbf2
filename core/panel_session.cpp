#include "core/panel_session.h"

#include <algorithm>
#include <utility>

namespace qel {

namespace {

std::unique_ptr<HidLibrary> LoadLibrary(const std::function<HidLibraryLoad(LogSink&)>& make,
                                        LogSink& log, std::optional<std::string>& problem) {
    if (!make) {
        return nullptr;
    }
    HidLibraryLoad load = make(log);
    if (!load) {
        problem = load.Error();
        return nullptr;
    }
    return std::move(load).Value();
}

}  // namespace

PanelSession::PanelSession(SessionParts parts, ProfileStore& store)
    : PostToMain(std::move(parts.PostToMain)),
      Lines([this](std::string_view line) {
          Tell([line](SessionView& view) { view.LineAdded(line); });
      }),
      Layout(std::move(parts.Layout)),
      Injector(parts.MakeInjector(Lines)),
      Notifications([this] { PostToMain([this] { HandleNotifications(); }); }),
      Device(LoadLibrary(parts.MakeLibrary, Lines, Problem), Notifications.Poster()),
      Core(std::move(parts.KeyMap), store, *Layout, *Injector, Lines, Gate),
      Hook(Device, Status,
           [this](UnitId unit, ReceiveBuffer report) { Core.Decode(unit, report); }) {}

PanelSession::~PanelSession() {
    Stop();
}

void PanelSession::StartPollers() {
    if (Stopping) {
        return;
    }
    // A poller's loop ends by itself only when its unit can no longer be served; it may ask
    // from its own thread, so the news goes through the main thread.
    StartUnitThreads(Device, AudioThreads, G1000Threads,
                     [this] { PostToMain([this] { PollerEnded(); }); });
}

void PanelSession::Stop() {
    if (Stopping) {
        return;
    }
    Stopping = true;
    // No thread may write through the library once it is disconnected.
    StopUnitThreads(AudioThreads, G1000Threads);
    Device.Disconnect();
}

bool PanelSession::PollersRunning() const {
    return AnyUnitThreadRunning(AudioThreads, G1000Threads);
}

int PanelSession::PollersStarted() const {
    const auto started = [](const auto& threads) {
        return std::count_if(threads.begin(), threads.end(),
                             [](const auto& thread) { return thread != nullptr; });
    };
    return static_cast<int>(started(AudioThreads) + started(G1000Threads));
}

bool PanelSession::UnitConnected(UnitId unit) const {
    if (!unit.IsValid()) {
        return false;
    }
    return Device.Handles[static_cast<std::size_t>(unit.DeviceIndex())].load(
               std::memory_order_relaxed) != 0;
}

void PanelSession::HandleNotifications() {
    // After the library is disconnected, notifications still queued have nothing to act on.
    if (Stopping) {
        Notifications.Drain([](const HidNotification&) {});
        return;
    }
    Notifications.Drain(
        [this](const HidNotification& notification) { Hook.HidMessageHook(notification); });
}

void PanelSession::PollerEnded() {
    // Every poller ends at shutdown as well: only one that ends by itself ends the program.
    if (Stopping) {
        return;
    }
    Tell([](SessionView& view) { view.PollerEnded(); });
}

void PanelSession::StatusRelay::SetUnitCaption(UnitId unit, std::string_view caption) {
    Session.Tell([&](SessionView& view) { view.UnitCaptionChanged(unit, caption); });
}

void PanelSession::StatusRelay::SetConnectedText(std::string_view text) {
    Session.Tell([text](SessionView& view) { view.ConnectedTextChanged(text); });
}

}  // namespace qel
