#include "hid/notification_queue.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace qel::test {
namespace {

TEST(HidNotificationQueue, WakesOncePerEmptyToWaitingAndAPostDuringADrainWaitsForTheNext) {
    int wakes = 0;
    HidNotificationQueue queue([&] { ++wakes; });
    queue.Post({HidEvent::Plugged, 1});
    queue.Post({HidEvent::Changed, 0});
    EXPECT_EQ(wakes, 1) << "one event-loop wake-up serves a whole burst";

    std::vector<HidNotification> handled;
    EXPECT_EQ(queue.Drain([&](const HidNotification& n) {
        handled.push_back(n);
        if (handled.size() == 1) {
            queue.Post({HidEvent::Unplugged, 1});  // a library thread, meanwhile
        }
    }),
              2U);
    EXPECT_EQ(handled,
              (std::vector<HidNotification>{{HidEvent::Plugged, 1}, {HidEvent::Changed, 0}}));
    EXPECT_EQ(wakes, 2) << "the notification posted meanwhile needs a drain of its own";
    handled.clear();
    queue.Drain([&](const HidNotification& n) { handled.push_back(n); });
    EXPECT_EQ(handled, (std::vector<HidNotification>{{HidEvent::Unplugged, 1}}));
    EXPECT_EQ(queue.Drain([](const HidNotification&) {}), 0U);
}

TEST(HidNotificationQueue, ManyPostingThreadsLoseNothingAndKeepEachThreadsOrder) {
    constexpr int kThreads = 6;
    constexpr int kEach = 2000;
    HidNotificationQueue queue([] {}, kEach);
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t) {
        posters.emplace_back([&queue, t] {
            for (int i = 0; i < kEach; ++i) {
                HidNotification read{HidEvent::Read, static_cast<HidHandle>(t + 1)};
                read.Report[2] = static_cast<std::uint8_t>(i);
                read.Report[3] = static_cast<std::uint8_t>(i >> 8);
                queue.Post(read);
            }
        });
    }
    std::vector<int> next(kThreads + 1, 0);
    int total = 0;
    const auto check = [&](const HidNotification& n) {
        const int sequence = n.Report[2] | (n.Report[3] << 8);
        EXPECT_EQ(sequence, next[n.Handle]++);
        ++total;
    };
    // The main thread drains while the posters are still at work.
    while (total < kThreads * kEach) {
        queue.Drain(check);
    }
    for (std::thread& poster : posters) {
        poster.join();
    }
    EXPECT_EQ(total, kThreads * kEach);
    EXPECT_EQ(queue.DroppedReports(), 0U);
}

}  // namespace
}  // namespace qel::test
