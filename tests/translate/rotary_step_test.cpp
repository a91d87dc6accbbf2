#include <gtest/gtest.h>

#include <random>

#include "translate/rotary_step.h"

namespace qel::test {
namespace {

RotaryState Primed(std::uint8_t previous, std::uint8_t current, std::int32_t pending) {
    RotaryState rotary;
    rotary.Previous = previous;
    rotary.Current = current;
    rotary.Pending = pending;
    rotary.Primed = true;
    return rotary;
}

TEST(RotaryStep, HalvedCountersWrapClampAndTakeOneStep) {
    struct Case {
        std::uint8_t Previous;
        std::uint8_t Current;
        std::int32_t PendingBefore;
        std::int32_t Movement;
        std::int32_t Direction;
        std::int32_t PendingAfter;
    };
    const Case cases[] = {
        {10, 12, 0, 1, 1, 0},
        {12, 10, 0, -1, -1, 0},
        {254, 0, 0, 1, 1, 0},    // forwards across the wrap
        {0, 254, 0, -1, -1, 0},  // backwards across the wrap
        {1, 2, 0, 1, 1, 0},      // one count crossing an even value steps
        {2, 3, 0, 0, 0, 0},      // one count not crossing one does not
        {0, 1, 0, 0, 0, 0},
        {0, 200, 0, -28, -1, -9},  // 100 halved steps wrap to -28; backlog cut to 10
        {0, 128, 0, 64, 1, 9},     // +64 stays +64
        {128, 0, 0, -64, -1, -9},  // -64 stays -64
        {0, 130, 0, -63, -1, -9},  // +65 wraps
        {5, 5, 15, 0, 1, 9},       // an oversized backlog is cut to 10, then one step
        {0, 6, -1, 3, 1, 1},       // -1 + 3 = 2: one increment, one left
        {6, 0, 4, -3, 1, 0},       // turning back cancels queued steps first
        {0, 0, -9, 0, -1, -8},     // a still knob works off its backlog
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int{c.Previous} << " -> " << int{c.Current}
                                        << " pending " << c.PendingBefore);
        RotaryState rotary = Primed(c.Previous, c.Current, c.PendingBefore);
        const RotaryStep step = StepRotary(rotary);
        EXPECT_EQ(step.Movement, c.Movement);
        EXPECT_EQ(step.Direction, c.Direction);
        EXPECT_EQ(rotary.Pending, c.PendingAfter);
        EXPECT_EQ(rotary.Previous, c.Current);
    }
}

TEST(RotaryStep, FirstValueEverOnlySetsTheReference) {
    RotaryState rotary;
    rotary.Current = 200;
    const RotaryStep step = StepRotary(rotary);
    EXPECT_EQ(step.Movement, 0);
    EXPECT_EQ(step.Direction, 0);
    EXPECT_TRUE(rotary.Primed);
    EXPECT_EQ(rotary.Previous, 200);
    EXPECT_EQ(rotary.Pending, 0);
}

TEST(RotaryStep, RecordHoldingExtremePendingDoesNotOverflow) {
    RotaryState rotary = Primed(0, 128, INT32_MAX);
    EXPECT_EQ(StepRotary(rotary).Direction, 1);
    EXPECT_EQ(rotary.Pending, 9);
    rotary = Primed(128, 0, INT32_MIN);
    EXPECT_EQ(StepRotary(rotary).Direction, -1);
    EXPECT_EQ(rotary.Pending, -9);
}

TEST(RotaryStep, PendingStaysWithinNineAndEachPassTakesAtMostOneStep) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> counter(0, 255);
    std::uniform_int_distribution<int> jitter(-3, 3);
    RotaryState rotary;
    for (int pass = 0; pass < 100000; ++pass) {
        // Mix wild jumps with small turns, as a real knob and a noisy report would.
        rotary.Current = pass % 4 == 0 ? static_cast<std::uint8_t>(counter(random))
                                       : static_cast<std::uint8_t>(rotary.Current + jitter(random));
        const std::int32_t before = rotary.Pending;
        const RotaryStep step = StepRotary(rotary);
        ASSERT_GE(rotary.Pending, -9) << "pass " << pass;
        ASSERT_LE(rotary.Pending, 9) << "pass " << pass;
        ASSERT_GE(step.Movement, -64);
        ASSERT_LE(step.Movement, 64);
        ASSERT_EQ(step.Direction, before + step.Movement > 0   ? 1
                                  : before + step.Movement < 0 ? -1
                                                               : 0);
    }
}

}  // namespace
}  // namespace qel::test
