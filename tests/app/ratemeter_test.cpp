#include "app/ratemeter.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace qel {
namespace {

TEST(RateMeter, EachTickShowsOnlyTheIncreaseSinceThePreviousTick) {
    struct Case {
        const char* Name;
        std::vector<std::int32_t> Counts;
        std::vector<std::string> Expected;
    };
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const std::vector<Case> cases{
        {"no reports at all", {0, 0, 0}, {"- 0Hz", "- 0Hz", "- 0Hz"}},
        {"first tick compares with zero", {90}, {"- 90Hz"}},
        {"steady stream", {30, 60, 90}, {"- 30Hz", "- 30Hz", "- 30Hz"}},
        {"stream stops", {30, 30}, {"- 30Hz", "- 0Hz"}},
        {"counter wraps past its maximum",
         {kMax - 4, std::numeric_limits<std::int32_t>::min() + 5},
         {"- 2147483643Hz", "- 10Hz"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        RateMeter meter;
        for (std::size_t i = 0; i < c.Counts.size(); ++i) {
            EXPECT_EQ(meter.Tick(c.Counts[i]), c.Expected[i]) << "tick " << i;
        }
    }
}

}  // namespace
}  // namespace qel
