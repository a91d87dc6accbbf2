// Worker thread priority on the real Win32 call; the clock shows in the workers' real-time test.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

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

}  // namespace
}  // namespace qel::test
