#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QTimer>
#include <functional>

#include "dialogs/Splash.h"

namespace tessel {
namespace {

// Keeps the splash's timer so the test decides when the 2.5 seconds are over.
struct TManualTimer {
    int milliseconds = -1;
    std::function<void()> fire;
    TSplashScreen::TScheduleOnce Schedule() {
        return [this](QObject*, int ms, std::function<void()> callback) {
            milliseconds = ms;
            fire = std::move(callback);
        };
    }
};

TEST(SplashTest, StaysUpUntilItsMinimumTimeIsOver) {
    TManualTimer timer;
    TSplashScreen splash(nullptr, timer.Schedule());
    EXPECT_EQ(timer.milliseconds, 2500);
    EXPECT_EQ(splash.size(), QSize(400, 320));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(splash.findChild<QLabel*>("imgSplash")->pixmap().isNull());

    splash.ShowAtStart();
    EXPECT_TRUE(splash.isVisible());
    EXPECT_FALSE(splash.close());
    splash.reject();
    EXPECT_TRUE(splash.isVisible());

    timer.fire();
    EXPECT_FALSE(splash.TimerEnabled());
    EXPECT_TRUE(splash.close());
    EXPECT_FALSE(splash.isVisible());
}

TEST(SplashTest, ClicksDuringStartUpDoNothing) {
    TManualTimer timer;
    TSplashScreen splash(nullptr, timer.Schedule());
    splash.show();
    timer.fire();  // even once it may close, only the About box closes on a click
    QTest::mouseClick(splash.findChild<QLabel*>("imgSplash"), Qt::LeftButton);
    EXPECT_TRUE(splash.isVisible());
    EXPECT_FALSE(splash.findChild<QLabel*>("lbl")->isVisibleTo(&splash));
}

TEST(SplashTest, WaitingProcessesEventsUntilTheTimerFires) {
    TSplashScreen splash(nullptr, [](QObject* context, int, std::function<void()> fire) {
        QTimer::singleShot(0, context, std::move(fire));
    });
    EXPECT_FALSE(splash.CanClose());
    splash.WaitUntilClosable();
    EXPECT_TRUE(splash.CanClose());
}

TEST(SplashTest, TheAboutBoxClosesOnAClickAnywhereOnThePicture) {
    TManualTimer timer;
    TSplashScreen about(nullptr, timer.Schedule());
    about.PrepareAsAbout();
    EXPECT_TRUE(about.CanClose());
    auto* address = about.findChild<QLabel*>("lbl");
    EXPECT_TRUE(address->isVisibleTo(&about));
    EXPECT_EQ(address->text(), "www.brindle-software.example");
    about.show();
    QTest::mouseClick(about.findChild<QLabel*>("imgSplash"), Qt::LeftButton, {}, QPoint(390, 10));
    EXPECT_FALSE(about.isVisible());
    // A late timer changes nothing.
    timer.fire();
    EXPECT_TRUE(about.CanClose());
}

TEST(SplashTest, TheWebAddressOpensTheMakersSiteAndCloses) {
    TManualTimer timer;
    TSplashScreen about(nullptr, timer.Schedule());
    int opened = 0;
    about.SetOpenWebSite([&] { ++opened; });
    about.PrepareAsAbout();
    about.show();
    QTest::mouseClick(about.findChild<QLabel*>("lbl"), Qt::LeftButton);
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(about.isVisible());
}

}  // namespace
}  // namespace tessel
