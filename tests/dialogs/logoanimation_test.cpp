#include <cstdint>
#include <vector>

#include <gtest/gtest.h>
#include <QImage>

#include "dialogs/logoanimation.h"
#include "dialogs/logoartwork.h"

namespace qel::test {
namespace {

// Positions that differ between two pictures of the same size.
std::vector<QPoint> ChangedPixels(const QImage& before, const QImage& after) {
    std::vector<QPoint> changed;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            if (before.pixel(x, y) != after.pixel(x, y)) changed.emplace_back(x, y);
        }
    }
    return changed;
}

QImage Filled(int width, int height, QRgb colour) {
    QImage picture(width, height, QImage::Format_RGB888);
    picture.fill(colour);
    return picture;
}

TEST(LogoAnimation, OneStepTurnsExactlyFiveWhitePixelsBlackAndNothingElse) {
    for (const std::uint32_t seed : {0U, 1U, 1700000000U, 0xFFFFFFFFU}) {
        SCOPED_TRACE(seed);
        const QImage before = MakeLogo();
        QImage after = before;
        EXPECT_EQ(DarkenWhitePixels(after, seed), kPixelsPerStep);
        const std::vector<QPoint> changed = ChangedPixels(before, after);
        ASSERT_EQ(changed.size(), 5U);
        for (const QPoint& p : changed) {
            EXPECT_EQ(before.pixel(p) & 0xFFFFFF, 0xFFFFFFU);
            EXPECT_EQ(after.pixel(p) & 0xFFFFFF, 0U);
        }
    }
}

TEST(LogoAnimation, StepsOfTheSameSecondRepeatTheSequenceAndPassOverBlackenedPixels) {
    const QImage fresh = MakeLogo();
    QImage once = fresh;
    DarkenWhitePixels(once, 42);
    QImage twice = fresh;
    DarkenWhitePixels(twice, 42);
    DarkenWhitePixels(twice, 42);

    const std::vector<QPoint> first = ChangedPixels(fresh, once);
    const std::vector<QPoint> both = ChangedPixels(fresh, twice);
    EXPECT_EQ(both.size(), 10U);
    // Everything the first step blackened is among the second run's pixels: same sequence.
    EXPECT_TRUE(ChangedPixels(once, twice).size() == 5U);
    for (const QPoint& p : first) {
        EXPECT_EQ(twice.pixel(p) & 0xFFFFFF, 0U);
    }

    QImage otherSecond = fresh;
    DarkenWhitePixels(otherSecond, 43);
    EXPECT_NE(ChangedPixels(fresh, otherSecond), first);
}

TEST(LogoAnimation, StepEndsWhenTooFewWhitePixelsRemain) {
    struct Case {
        const char* Name;
        int White;  // white pixels left before the step
        int Darkened;
    };
    for (const Case& c : {Case{"none left", 0, 0}, Case{"three left", 3, 3},
                          Case{"exactly five", 5, 5}, Case{"one", 1, 1}}) {
        SCOPED_TRACE(c.Name);
        QImage picture = Filled(112, 112, 0x808080);
        for (int i = 0; i < c.White; ++i) picture.setPixel(111 - i * 7, 100, 0xFFFFFF);
        EXPECT_EQ(DarkenWhitePixels(picture, 7), c.Darkened);
        EXPECT_EQ(CountWhitePixels(picture), 0);
    }
}

TEST(LogoAnimation, EmptyPictureEndsAtOnce) {
    QImage empty;
    EXPECT_EQ(DarkenWhitePixels(empty, 1), 0);
}

TEST(LogoAnimation, NearlyWhiteIsNotWhite) {
    QImage picture = Filled(4, 4, 0xFEFFFF);
    EXPECT_EQ(DarkenWhitePixels(picture, 3), 0);
    EXPECT_EQ(ChangedPixels(Filled(4, 4, 0xFEFFFF), picture).size(), 0U);
}

TEST(LogoArtwork, Is112By112At24BitsAndMostlyWhite) {
    const QImage logo = MakeLogo();
    EXPECT_EQ(logo.size(), QSize(112, 112));
    EXPECT_EQ(logo.format(), QImage::Format_RGB888);
    const int white = CountWhitePixels(logo);
    EXPECT_GT(white, 112 * 112 / 2);
    EXPECT_LT(white, 112 * 112);
}

}  // namespace
}  // namespace qel::test
