#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/device.h"
#include "core/hidhook.h"
#include "core/keycore.h"
#include "core/session_log.h"
#include "core/unit_threads.h"
#include "hid/hidlibrary_factory.h"
#include "hid/notification_queue.h"
#include "keymap/keymappath.h"
#include "keymap/profilestore.h"
#include "translate/keygate.h"
#include "translate/keyinjector.h"
#include "translate/keylayout.h"

namespace qel {

// What a session is made from: the real parts in the program, virtual panels and recording
// keyboards in the tests, nothing but a printer in the replay.
struct SessionParts {
    // Makes the panels' library; empty means no panels at all. A load that fails leaves the
    // session without panels and says why in LibraryProblem (and the log).
    std::function<HidLibraryLoad(LogSink&)> MakeLibrary;
    std::function<std::unique_ptr<KeyInjector>(LogSink&)> MakeInjector;
    std::unique_ptr<KeyLayout> Layout;
    // Fixes the path of keymap.ini (or why there is none) for the whole run.
    KeyMapLocation KeyMap;
    // Runs a task on the main thread later, in the order posted. Any thread may call it; the
    // session must outlive every task it posts.
    std::function<void(std::function<void()>)> PostToMain;
};

// What the windows show of a session; every call comes on the main thread.
class SessionView {
public:
    virtual ~SessionView() = default;
    virtual void LineAdded(std::string_view /*line*/) {}
    // A status label: the unit and the unit table's caption.
    virtual void UnitCaptionChanged(UnitId /*unit*/, std::string_view /*caption*/) {}
    // "Connected : " and the connected count.
    virtual void ConnectedTextChanged(std::string_view /*text*/) {}
    // A poller ended by itself (its unit's loop failed): the program is over.
    virtual void PollerEnded() {}
};

// The running program without its windows: the panels' library and device table, the HID
// notifications and their handling, the six pollers, the key core, the log and "Enable keys".
// The program, the tests and the replay each make one; windows show it and call its verbs.
// Main thread only, except where a verb says otherwise.
class PanelSession {
public:
    explicit PanelSession(SessionParts parts, ProfileStore& store);
    // Stops first: no poller outlives the library it reads.
    ~PanelSession();

    PanelSession(const PanelSession&) = delete;
    PanelSession& operator=(const PanelSession&) = delete;

    // Every view hears every change from now on. Notifications are handled only by tasks
    // posted to the main thread, so a view that watches before the first one runs (the main
    // window, made before the event loop) has missed nothing but the log's lines so far, which
    // Log().Held() keeps. A view must be unwatched before it goes.
    void Watch(SessionView& view) { Views.push_back(&view); }
    void Unwatch(SessionView& view) { std::erase(Views, &view); }

    [[nodiscard]] SessionLog& Log() { return Lines; }
    [[nodiscard]] KeyCore& Keys() { return Core; }
    [[nodiscard]] const KeyCore& Keys() const { return Core; }

    // Why the panels' library did not start; nothing when it did (or none was asked for).
    [[nodiscard]] const std::optional<std::string>& LibraryProblem() const { return Problem; }

    // Starts the six pollers: audio units 0 and 1, then bezel units 0 to 3. Ones already
    // running are left as they are.
    void StartPollers();
    // Stops the pollers, each waited for, then disconnects the library. Later calls do nothing.
    void Stop();
    [[nodiscard]] bool PollersRunning() const;
    // How many pollers were ever started: each unit's once, however often StartPollers runs.
    [[nodiscard]] int PollersStarted() const;

    // "Enable keys": while off, no key goes down and no command is sent.
    void SetKeysEnabled(bool on) { Gate.Enabled = on; }

    // Whether the unit has a handle in the device table; any thread.
    [[nodiscard]] bool UnitConnected(UnitId unit) const;
    // Input reports of accepted units, all decoded.
    [[nodiscard]] int ReadCount() const { return Hook.ReadCount; }

private:
    // Passes the hook's changes to the views.
    class StatusRelay final : public DeviceStatusView {
    public:
        explicit StatusRelay(PanelSession& session) : Session(session) {}
        void SetUnitCaption(UnitId unit, std::string_view caption) override;
        void SetConnectedText(std::string_view text) override;

    private:
        PanelSession& Session;
    };

    void HandleNotifications();
    void PollerEnded();
    template <typename Call>
    void Tell(const Call& call) {
        for (SessionView* view : Views) {
            call(*view);
        }
    }

    std::function<void(std::function<void()>)> PostToMain;
    std::vector<SessionView*> Views;
    SessionLog Lines;
    FlagKeyGate Gate;
    std::unique_ptr<KeyLayout> Layout;
    std::unique_ptr<KeyInjector> Injector;
    HidNotificationQueue Notifications;
    std::optional<std::string> Problem;
    TDeviceDM Device;
    KeyCore Core;
    StatusRelay Status{*this};
    HidHook Hook;
    AudioThreadSet AudioThreads;
    G1000ThreadSet G1000Threads;
    bool Stopping = false;
};

}  // namespace qel
