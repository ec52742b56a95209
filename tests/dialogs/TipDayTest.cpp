#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <fstream>
#include <vector>

#include "dialogs/TipDay.h"

namespace tessel {
namespace {

class TipDayTest : public ::testing::Test {
  protected:
    QString Folder() const { return dir_.path() + "/"; }
    void WriteTips(const std::string& text) {
        std::ofstream((dir_.path() + "/Tips.txt").toStdString(), std::ios::binary) << text;
    }
    // Hands out the given indexes in turn and records the bounds asked for.
    TRandomBelow Sequence(std::vector<int> values) {
        return [this, values, next = size_t{0}](int bound) mutable {
            bounds_.push_back(bound);
            return values.at(next++ % values.size());
        };
    }
    static QString Tip(TfrmTips& dialog) { return dialog.findChild<QLabel*>("lblTip")->text(); }
    static QPushButton* Button(TfrmTips& dialog, const char* name) {
        return dialog.findChild<QPushButton*>(name);
    }

    QTemporaryDir dir_;
    std::vector<int> bounds_;
    std::vector<bool> stored_;
    TfrmTips::TStoreShowAtStart Store() {
        return [this](bool show) { stored_.push_back(show); };
    }
};

TEST_F(TipDayTest, ShowsARandomTipAndDrawsAnotherOnNext) {
    WriteTips("First tip\r\nSecond tip\r\nLast tip\r\n");
    TfrmTips dialog(Folder(), Store(), Sequence({1, 2, 0}));
    EXPECT_EQ(dialog.windowTitle(), "Tips");
    EXPECT_EQ(Tip(dialog), "Second tip");
    Button(dialog, "btnNext")->click();
    EXPECT_EQ(Tip(dialog), "Last tip");
    Button(dialog, "btnNext")->click();
    EXPECT_EQ(Tip(dialog), "First tip");
    // Every draw covers every line, the last one included.
    EXPECT_EQ(bounds_, (std::vector<int>{3, 3, 3}));
}

TEST_F(TipDayTest, AOneLineFileShowsThatLineEveryTime) {
    WriteTips("The only tip");
    TfrmTips dialog(Folder(), Store(), Sequence({0}));
    EXPECT_EQ(Tip(dialog), "The only tip");
    Button(dialog, "btnNext")->click();
    EXPECT_EQ(Tip(dialog), "The only tip");
    EXPECT_TRUE(Button(dialog, "btnNext")->isEnabled());
}

TEST_F(TipDayTest, MissingOrEmptyFileDisablesNextAndSaysWhere) {
    const QString expected =
        "Could not load tips file! Please make sure Tips.txt is in the application folder of " +
        Folder() + ".";
    {
        TfrmTips dialog(Folder(), Store(), Sequence({0}));
        EXPECT_EQ(Tip(dialog), expected);
        EXPECT_FALSE(Button(dialog, "btnNext")->isEnabled());
    }
    WriteTips("\r\n\r\n");
    TfrmTips dialog(Folder(), Store(), Sequence({0}));
    EXPECT_EQ(Tip(dialog), expected);
    EXPECT_FALSE(Button(dialog, "btnNext")->isEnabled());
    EXPECT_TRUE(bounds_.empty());
}

TEST_F(TipDayTest, EveryWayOfClosingHandsBackTheCheckBox) {
    WriteTips("A tip\n");
    TfrmTips dialog(Folder(), Store(), Sequence({0}));
    auto* check = dialog.findChild<QCheckBox*>("chkShow");
    EXPECT_EQ(check->text(), "&Show at startup");

    dialog.SetShowAtStart(true);
    EXPECT_TRUE(check->isChecked());
    check->setChecked(false);
    dialog.show();
    Button(dialog, "btnClose")->click();
    EXPECT_FALSE(dialog.isVisible());

    dialog.SetShowAtStart(false);
    check->setChecked(true);
    dialog.show();
    dialog.close();  // the close box

    dialog.show();
    dialog.reject();  // Escape
    EXPECT_EQ(stored_, (std::vector<bool>{false, true, true}));
}

}  // namespace
}  // namespace tessel
