#include "hid/win32_device_watch.h"

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace qel::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Twice in a row: the window class goes with each watch, and the next one registers it again.
TEST(Win32DeviceWatch, RegistersForHidInterfacesWaitsWakesAndEndsPromptly) {
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        auto watch = std::make_unique<Win32DeviceWatch>();
        EXPECT_TRUE(watch->Watching().Ok()) << watch->Watching().Error();
        EXPECT_EQ(watch->Wait(20ms), std::nullopt) << "no device comes or goes here";

        std::thread waker([&watch] {
            std::this_thread::sleep_for(50ms);
            watch->Wake();
        });
        const auto waitStarted = Clock::now();
        EXPECT_EQ(watch->Wait(10s), std::nullopt);
        EXPECT_LT(Clock::now() - waitStarted, 5s) << "Wake ends the wait";
        waker.join();

        watch->Wake();
        const auto earlyWake = Clock::now();
        EXPECT_EQ(watch->Wait(10s), std::nullopt);
        EXPECT_LT(Clock::now() - earlyWake, 1s) << "a Wake before the wait is not lost";

        const auto closing = Clock::now();
        watch.reset();
        EXPECT_LT(Clock::now() - closing, 2s);
    }
}

TEST(Win32DeviceWatch, PathsOfBothSourcesMatchWhateverTheirCase) {
    EXPECT_EQ(DevicePathKey(R"(\\?\HID#VID_0D59&PID_02AC#7&1a2b&0&0000#{4D1E55B2-F16F-11CF})"),
              R"(\\?\hid#vid_0d59&pid_02ac#7&1a2b&0&0000#{4d1e55b2-f16f-11cf})");
}

}  // namespace
}  // namespace qel::test
