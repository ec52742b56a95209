// The drop-box link list of the link panel, worked with the mouse and the keyboard.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/ListBoxHrz.h"
#include "app/MainFixture.h"

namespace tessel {
namespace {

class LinkListTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Open();
        {
            const QSignalBlocker quiet(F().lstBlocks);
            F().lstBlocks->setCurrentRow(2);  // the new page's link block
        }
        window->ShowBlock();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        // On its box: a wide check box takes clicks on its box and caption only.
        QTest::mouseClick(F().chkLink, Qt::LeftButton, {}, QPoint(6, F().chkLink->height() / 2));
        ASSERT_TRUE(F().chkLink->isChecked());
        for (const char* name : {"one", "two", "three", "four"}) {
            F().lstLinks->setCurrentRow(F().lstLinks->count() - 1);  // add at the end
            QTest::keyClicks(F().txtLinkAddress, QStringLiteral("http://%1.example/").arg(name));
            QTest::keyClicks(F().txtLinkText, name);
            QTest::mouseClick(F().btnLinkAdd, Qt::LeftButton);
        }
    }

    void ClickEntry(int row) {
        TListBoxHrz& list = *F().lstLinks;
        list.scrollToItem(list.item(row));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                          list.visualItemRect(list.item(row)).center());
    }
    QStringList Texts() const {
        QStringList texts;
        for (const QString& line : window->Form().lstLinks->Lines()) texts << line.section('\t', 1);
        return texts;
    }
    void Remove() { QTest::mouseClick(F().btnLinkRemove, Qt::LeftButton); }
};

TEST_F(LinkListTest, RemoveTakesAwayThePickedEntry) {
    ASSERT_EQ(Texts(), (QStringList{"one", "two", "three", "four"}));
    ClickEntry(1);
    ASSERT_EQ(F().lstLinks->currentRow(), 1);
    Remove();
    EXPECT_EQ(Texts(), (QStringList{"one", "three", "four"}));
    // The entry that took its place is selected: Remove goes on down the list.
    EXPECT_EQ(F().lstLinks->currentRow(), 1);
    EXPECT_TRUE(F().btnLinkRemove->isEnabled());
    EXPECT_TRUE(F().btnLinkEdit->isEnabled());
    Remove();
    EXPECT_EQ(Texts(), (QStringList{"one", "four"}));

    ClickEntry(1);
    Remove();  // the last entry, selected: the one above it is selected next
    EXPECT_EQ(Texts(), QStringList{"one"});
    EXPECT_EQ(F().lstLinks->currentRow(), 0);

    window->StoreBlock();
    EXPECT_EQ(Page().Items(2).LinkBlock().DropBoxText, "http://one.example/\tone\r\n");
}

TEST_F(LinkListTest, WithNothingSelectedRemoveTakesTheLastEntry) {
    // Shown afresh, the list has no selection, yet Remove is enabled.
    window->StoreBlock();
    window->ShowBlock();
    ASSERT_EQ(F().lstLinks->currentRow(), -1);
    ASSERT_TRUE(F().btnLinkRemove->isEnabled());
    Remove();
    EXPECT_EQ(Texts(), (QStringList{"one", "two", "three"}));
    EXPECT_EQ(F().lstLinks->currentRow(), -1) << "nothing gets selected behind the user's back";
    Remove();
    Remove();
    Remove();
    EXPECT_TRUE(Texts().isEmpty());
    EXPECT_FALSE(F().chkLink->isChecked());
    EXPECT_FALSE(F().btnLinkRemove->isEnabled());
}

}  // namespace
}  // namespace tessel
