#include "platform/gui/UpDown.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

namespace tessel {
namespace {

// The line width's control: 5 to 100 in steps of 5, starting at 100.
class UpDownTest : public ::testing::Test {
  protected:
    void SetUp() override {
        updn.setRange(5, 100);
        updn.setSingleStep(5);
        updn.setPageStep(25);
        updn.setValue(100);
        updn.SetBuddy(&buddy);
    }
    static void Wheel(QWidget& control, int eighthsOfADegree) {
        QWheelEvent event(QPointF(2, 2), control.mapToGlobal(QPointF(2, 2)), QPoint(),
                          QPoint(0, eighthsOfADegree), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&control, &event);
    }

    QWidget parent;
    TUpDown updn{&parent};
    QLineEdit buddy{&parent};
};

TEST_F(UpDownTest, ArrowsStepWithinTheRangeWithoutWrapping) {
    QSignalSpy changes(&updn, &TUpDown::valueChanged);
    QTest::mouseClick(updn.UpButton(), Qt::LeftButton);
    EXPECT_EQ(updn.value(), 100);
    EXPECT_EQ(changes.count(), 0);
    QTest::mouseClick(updn.DownButton(), Qt::LeftButton);
    EXPECT_EQ(updn.value(), 95);
    EXPECT_EQ(changes.count(), 1);
    updn.setValue(10);
    QTest::mouseClick(updn.DownButton(), Qt::LeftButton);
    QTest::mouseClick(updn.DownButton(), Qt::LeftButton);
    EXPECT_EQ(updn.value(), 5);
}

TEST_F(UpDownTest, KeysStepTheControlAndItsBuddy) {
    QTest::keyClick(&updn, Qt::Key_Down);
    EXPECT_EQ(updn.value(), 95);
    QTest::keyClick(&updn, Qt::Key_PageDown);
    EXPECT_EQ(updn.value(), 70);
    QTest::keyClick(&buddy, Qt::Key_Up);
    EXPECT_EQ(updn.value(), 75);
    QTest::keyClick(&buddy, Qt::Key_PageUp);
    EXPECT_EQ(updn.value(), 100);
    // Keys with Ctrl or Shift are left to the buddy's own editing.
    QTest::keyClick(&buddy, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(updn.value(), 100);

    updn.setEnabled(false);
    QTest::keyClick(&buddy, Qt::Key_Down);
    EXPECT_EQ(updn.value(), 100);
}

TEST_F(UpDownTest, TheWheelStepsOncePerNotch) {
    Wheel(updn, -120);
    EXPECT_EQ(updn.value(), 95);
    Wheel(buddy, -360);
    EXPECT_EQ(updn.value(), 80);
    // A fine wheel's small turns add up to a notch.
    Wheel(updn, 40);
    Wheel(updn, 40);
    EXPECT_EQ(updn.value(), 80);
    Wheel(updn, 40);
    EXPECT_EQ(updn.value(), 85);
}

}  // namespace
}  // namespace tessel
