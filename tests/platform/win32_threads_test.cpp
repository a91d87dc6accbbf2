// Worker thread priority and clock on the real Win32 calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <thread>

#include "platform/millisecond_clock.h"
#include "platform/thread_priority.h"

namespace qel::test {
namespace {

TEST(Win32WorkerThreads, RaisedPriorityIsOneStepAboveNormalForTheCallingThreadOnly) {
    int raised = THREAD_PRIORITY_ERROR_RETURN;
    bool granted = false;
    std::thread worker([&] {
        granted = platform::RaiseCurrentThreadPriority();
        raised = ::GetThreadPriority(::GetCurrentThread());
    });
    worker.join();
    EXPECT_TRUE(granted);
    EXPECT_EQ(raised, THREAD_PRIORITY_ABOVE_NORMAL);
    EXPECT_EQ(::GetThreadPriority(::GetCurrentThread()), THREAD_PRIORITY_NORMAL);
}

TEST(Win32WorkerThreads, TheTickFollowsTheSystemTickAcrossASleep) {
    const std::uint32_t before = platform::TickCount();
    const DWORD systemBefore = ::GetTickCount();
    platform::SleepMilliseconds(50);
    const std::uint32_t slept = platform::TickCount() - before;
    // The system tick may step in 16 ms units; a loaded machine may oversleep.
    EXPECT_GE(slept, 32U);
    EXPECT_LT(slept, 2000U);
    const std::uint32_t systemSlept = ::GetTickCount() - systemBefore;
    EXPECT_LE(slept > systemSlept ? slept - systemSlept : systemSlept - slept, 20U);
}

}  // namespace
}  // namespace qel::test
