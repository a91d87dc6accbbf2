#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "panelview/panelactivity.h"
#include "panelview/panelwatch.h"
#include "support/unit_ids.h"

namespace qel::test {
namespace {

using K = ControlKind;

TEST(PanelActivity, HeldControlsLightUntilReleasedAndADirectionUntilLeft) {
    PanelActivity activity;
    activity.Record(MakeControlEvent(AudioUnit(1), K::Button, 13, 1));
    activity.Record(MakeControlEvent(BezelUnit(2), K::PanDirection, 0, 1));
    activity.Record(MakeControlEvent(BezelUnit(2), K::PanPush, 0, 1));
    EXPECT_TRUE(activity.IsLit(AudioUnit(1), K::Button, 13, KnobHalf::None));
    EXPECT_FALSE(activity.IsLit(AudioUnit(0), K::Button, 13, KnobHalf::None))
        << "only on its own unit";
    EXPECT_TRUE(activity.IsLit(BezelUnit(2), K::PanDirection, 0, KnobHalf::None));
    EXPECT_TRUE(activity.IsLit(BezelUnit(2), K::PanPush, 0, KnobHalf::None));

    // North to north-east: the release of north and the press of north-east, in that order.
    activity.Record(MakeControlEvent(BezelUnit(2), K::PanDirection, 0, 0));
    activity.Record(MakeControlEvent(BezelUnit(2), K::PanDirection, 1, 1));
    activity.Record(MakeControlEvent(AudioUnit(1), K::Button, 13, 0));
    activity.Tick(10'000);  // time does not end a held control
    EXPECT_FALSE(activity.IsLit(BezelUnit(2), K::PanDirection, 0, KnobHalf::None));
    EXPECT_TRUE(activity.IsLit(BezelUnit(2), K::PanDirection, 1, KnobHalf::None));
    EXPECT_FALSE(activity.IsLit(AudioUnit(1), K::Button, 13, KnobHalf::None));

    activity.Clear();
    EXPECT_FALSE(activity.IsLit(BezelUnit(2), K::PanPush, 0, KnobHalf::None));
    // Out of range is ignored, not a crash.
    activity.Record(MakeControlEvent(AudioUnit(5), K::Button, 3, 1));
    activity.Record(MakeControlEvent(BezelUnit(0), K::Button, 99, 1));
    EXPECT_FALSE(activity.IsLit(AudioUnit(5), K::Button, 3, KnobHalf::None));
}

TEST(PanelActivity, AKnobFlashesTheWayItTurnedCountsStepsAndGoesOutAfterTheFlash) {
    PanelActivity activity;
    activity.Tick(1000);
    activity.Record(MakeControlEvent(BezelUnit(0), K::Rotary, 11, 1));
    activity.Tick(1100);
    activity.Record(MakeControlEvent(BezelUnit(0), K::Rotary, 11, 3));
    EXPECT_TRUE(activity.IsLit(BezelUnit(0), K::Rotary, 11, KnobHalf::Incr));
    EXPECT_FALSE(activity.IsLit(BezelUnit(0), K::Rotary, 11, KnobHalf::Decr));
    EXPECT_EQ(activity.FlashSteps(BezelUnit(0), 11), 4);

    // Turned back: the other half, counted afresh.
    activity.Record(MakeControlEvent(BezelUnit(0), K::Rotary, 11, -2));
    EXPECT_TRUE(activity.IsLit(BezelUnit(0), K::Rotary, 11, KnobHalf::Decr));
    EXPECT_EQ(activity.FlashSteps(BezelUnit(0), 11), 2);

    // The flash lasts from the last step.
    activity.Tick(1100 + PanelActivity::kFlashMs - 1);
    EXPECT_TRUE(activity.IsLit(BezelUnit(0), K::Rotary, 11, KnobHalf::Decr));
    activity.Tick(1100 + PanelActivity::kFlashMs);
    EXPECT_FALSE(activity.IsLit(BezelUnit(0), K::Rotary, 11, KnobHalf::Decr));
    EXPECT_EQ(activity.FlashSteps(BezelUnit(0), 11), 0);

    // A long turn, a step every 50 ms: its count is its steps of the last second, not a total.
    for (std::int64_t ms = 2000; ms <= 5000; ms += 50) {
        activity.Tick(ms);
        activity.Record(MakeControlEvent(BezelUnit(0), K::Rotary, 11, 1));
    }
    EXPECT_GE(activity.FlashSteps(BezelUnit(0), 11), 1000 / 50 - 2);
    EXPECT_LE(activity.FlashSteps(BezelUnit(0), 11), 1000 / 50);
}

TEST(PanelActivity, ChangesAreTakenOncePerBurst) {
    PanelActivity activity;
    EXPECT_FALSE(activity.TakeChanged());
    for (int i = 0; i < 100; ++i) {
        activity.Record(MakeControlEvent(BezelUnit(1), K::Button, 2, i % 2));
    }
    EXPECT_TRUE(activity.TakeChanged());
    EXPECT_FALSE(activity.TakeChanged());
    activity.Record(MakeControlEvent(BezelUnit(1), K::Rotary, 0, 1));
    EXPECT_TRUE(activity.TakeChanged());
    activity.Tick(PanelActivity::kFlashMs);
    EXPECT_TRUE(activity.TakeChanged()) << "a flash going out is a change too";
    activity.Tick(2 * PanelActivity::kFlashMs);
    EXPECT_FALSE(activity.TakeChanged());
}

class TouchWatch : public ::testing::Test {
protected:
    PanelActivity Activity;
    std::vector<std::pair<int, int>> Picks;
    PanelWatch Watch{
        Activity, [this](UnitId unit, int slot) { Picks.emplace_back(unit.DeviceIndex(), slot); }};
};

TEST_F(TouchWatch, WithTouchToBindOffNothingIsSwallowedOrPickedButAllIsShown) {
    EXPECT_FALSE(Watch.ControlMoved(MakeControlEvent(BezelUnit(1), K::Button, 15, 1)));
    EXPECT_FALSE(Watch.ControlMoved(MakeControlEvent(BezelUnit(1), K::Rotary, 0, 2)));
    EXPECT_TRUE(Picks.empty());
    EXPECT_TRUE(Activity.IsLit(BezelUnit(1), K::Button, 15, KnobHalf::None));
}

TEST_F(TouchWatch, WhileOnEveryMovementIsSwallowedAndOnlyTheFirstPickUntilDone) {
    Watch.SetTouchToBind(true);
    // A release and a position without a control pick nothing, but type nothing either.
    EXPECT_TRUE(Watch.ControlMoved(MakeControlEvent(BezelUnit(1), K::Button, 3, 0)));
    EXPECT_TRUE(Watch.ControlMoved(MakeControlEvent(AudioUnit(0), K::Button, 6, 1)));
    EXPECT_TRUE(Picks.empty());

    EXPECT_TRUE(Watch.ControlMoved(MakeControlEvent(BezelUnit(1), K::Button, 15, 1)));
    EXPECT_TRUE(Watch.ControlMoved(MakeControlEvent(BezelUnit(1), K::Button, 15, 0)));
    EXPECT_TRUE(Watch.ControlMoved(MakeControlEvent(BezelUnit(0), K::Rotary, 0, -1)));
    EXPECT_EQ(Picks, (std::vector<std::pair<int, int>>{{1, 15}}));
    EXPECT_TRUE(Activity.IsLit(BezelUnit(0), K::Rotary, 0, KnobHalf::Decr)) << "still shown";

    Watch.PickDone();
    EXPECT_TRUE(Watch.ControlMoved(MakeControlEvent(BezelUnit(0), K::Rotary, 0, -1)));
    EXPECT_EQ(Picks.back(), std::make_pair(0, 40));

    // Off and on again forgets a pick in progress.
    Watch.SetTouchToBind(false);
    EXPECT_FALSE(Watch.ControlMoved(MakeControlEvent(BezelUnit(2), K::PanPush, 0, 1)));
    Watch.SetTouchToBind(true);
    EXPECT_TRUE(Watch.ControlMoved(MakeControlEvent(BezelUnit(2), K::PanPush, 0, 1)));
    EXPECT_EQ(Picks.back(), std::make_pair(2, 76));
    EXPECT_EQ(Picks.size(), 3U);
}

}  // namespace
}  // namespace qel::test
