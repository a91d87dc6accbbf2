#include "core/panel_session.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hid/virtual_library.h"
#include "keymap/ini_profile_store.h"
#include "support/memory_file_access.h"
#include "support/recording_injector.h"
#include "support/unit_ids.h"
#include "translate/us_layout.h"

namespace qel {
namespace {

using test::MemoryFileAccess;
using test::RecordingInjector;

// Hears what a window would show.
struct HeardView final : SessionView {
    void LineAdded(std::string_view line) override { Heard.push_back("log " + std::string(line)); }
    void UnitCaptionChanged(UnitId unit, std::string_view caption) override {
        Heard.push_back(std::to_string(unit.DeviceIndex()) + " " + std::string(caption));
    }
    void ConnectedTextChanged(std::string_view text) override { Heard.emplace_back(text); }
    void PollerEnded() override { Heard.emplace_back("poller ended"); }
    std::vector<std::string> Heard;
};

// A session over virtual panels whose posted tasks run only when the test says.
class SessionTest : public ::testing::Test {
protected:
    SessionTest() : Session(Parts(), Store) { Session.Watch(View); }

    SessionParts Parts() {
        return SessionParts{
            .MakeLibrary =
                [this](LogSink&) {
                    auto panels = std::make_unique<VirtualPanels>();
                    Panels = panels.get();
                    return HidLibraryLoad{std::unique_ptr<HidLibrary>(std::move(panels))};
                },
            .MakeInjector = [](LogSink&) { return std::make_unique<RecordingInjector>(); },
            .Layout = std::make_unique<UsEnglishLayout>(),
            .KeyMap = KeyMapLocation{"keymap.ini"},
            .PostToMain =
                [this](std::function<void()> task) {
                    std::lock_guard lock(Mutex);
                    Posted.push_back(std::move(task));
                },
        };
    }

    void RunPosted() {
        std::vector<std::function<void()>> tasks;
        {
            std::lock_guard lock(Mutex);
            tasks.swap(Posted);
        }
        for (const auto& task : tasks) {
            task();
        }
    }

    MemoryFileAccess Files;
    IniProfileStore Store{Files};
    std::mutex Mutex;
    std::vector<std::function<void()>> Posted;
    VirtualPanels* Panels = nullptr;
    HeardView View;
    PanelSession Session;
};

TEST_F(SessionTest, StopIsFinalAndLateNewsChangesNothing) {
    Session.StartPollers();
    Session.StartPollers();
    EXPECT_EQ(Session.PollersStarted(), 6);
    Panels->Plug(684);
    Session.Stop();
    EXPECT_FALSE(Session.PollersRunning());
    // The queued plug and the pollers' end-of-loop news arrive after the stop.
    RunPosted();
    Session.StartPollers();
    Session.Stop();
    EXPECT_EQ(View.Heard, std::vector<std::string>{});
    EXPECT_EQ(Session.PollersStarted(), 6);
    EXPECT_FALSE(Session.UnitConnected(test::BezelUnit(0)));
}

}  // namespace
}  // namespace qel
