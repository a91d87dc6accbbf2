#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "dialogs/about.h"
#include "dialogs/logoanimation.h"
#include "dialogs/logoimage.h"
#include "offscreen_app.h"

namespace qel::test {
namespace {

struct WithApplication {
    WithApplication() { OffscreenApplication(); }
};

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override {
        About.Clock = [] { return std::time_t{1700000000}; };
    }

    WithApplication Application;  // before any widget
    TAboutForm About;
};

TEST_F(AboutBox, ShowsProductAndVersionOfThisBuild) {
    EXPECT_EQ(About.windowTitle().toStdString(), "About...");
    About.show();
    EXPECT_EQ(About.windowTitle().toStdString(), "About QEL G1000 keysend");
    EXPECT_EQ(About.ProductLbl->text().toStdString(), "QEL G1000 keysend");
    EXPECT_TRUE(About.ProductLbl->font().bold());
    EXPECT_EQ(About.VersionLbl->text().toStdString(), "Version: 1.0");
}

TEST_F(AboutBox, ClickStartsTheAnimationAndClosingStopsItWithTheLogoKept) {
    About.show();
    EXPECT_FALSE(About.AniTimer.isActive());
    QTest::mouseClick(About.LogoImage, Qt::LeftButton);
    EXPECT_TRUE(About.AniTimer.isActive());
    EXPECT_EQ(About.AniTimer.interval(), 50);

    const int whiteBefore = CountWhitePixels(About.LogoImage->Picture());
    About.AniTimerTimer();
    EXPECT_EQ(CountWhitePixels(About.LogoImage->Picture()), whiteBefore - 5);

    About.close();
    EXPECT_FALSE(About.AniTimer.isActive());
    About.show();
    // Reopening neither restores the picture nor restarts the animation.
    EXPECT_FALSE(About.AniTimer.isActive());
    EXPECT_EQ(CountWhitePixels(About.LogoImage->Picture()), whiteBefore - 5);

    QTest::mouseClick(About.OkBtn, Qt::LeftButton);
    EXPECT_FALSE(About.isVisible());
}

TEST_F(AboutBox, DoubleClickAlsoStartsTheAnimation) {
    About.show();
    QTest::mouseDClick(About.LogoImage, Qt::LeftButton);
    EXPECT_TRUE(About.AniTimer.isActive());
    About.close();
}

TEST_F(AboutBox, AnimationStopsOnceNoWhitePixelIsLeftInsteadOfHanging) {
    About.show();
    QImage& picture = About.LogoImage->Picture();
    picture.fill(Qt::black);
    picture.setPixel(3, 3, 0xFFFFFF);
    picture.setPixel(100, 50, 0xFFFFFF);
    About.LogoImageClick();
    About.AniTimerTimer();
    EXPECT_EQ(CountWhitePixels(picture), 0);
    EXPECT_FALSE(About.AniTimer.isActive());
    About.close();
}

TEST_F(AboutBox, RunningAnimationDarkensTheWholeLogoAndStops) {
    About.show();
    QImage& picture = About.LogoImage->Picture();
    // A small white patch keeps the run short: 23 pixels, five steps.
    picture.fill(Qt::black);
    for (int i = 0; i < 23; ++i) picture.setPixel(i % 112, 60 + i / 112, 0xFFFFFF);
    About.LogoImageClick();
    for (int step = 0; step < 200 && About.AniTimer.isActive(); ++step) {
        QTest::qWait(10);
    }
    EXPECT_FALSE(About.AniTimer.isActive());
    EXPECT_EQ(CountWhitePixels(picture), 0);
}

}  // namespace
}  // namespace qel::test
