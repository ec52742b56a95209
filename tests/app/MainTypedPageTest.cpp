// A page with every kind of block typed and clicked together through the real controls:
// every edit raises the modified flag, and the saved page comes back into every control.

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <functional>

#include "app/MainFixture.h"
#include "dialogs/Misc.h"
#include "platform/gui/UpDown.h"

namespace tessel {
namespace {

class TypedPageTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        QImage boat(90, 60, QImage::Format_RGB32);
        boat.fill(Qt::blue);
        ASSERT_TRUE(boat.save(QString::fromStdString(outside_.path().toStdString() + "/boat.bmp")));
        WriteFile(home + "club.url", "[InternetShortcut]\r\nURL=http://club.example/\r\n");
        WriteFile(home + "bookmark.htm",
                  "<DL><DT><A HREF=\"http://rowing.example/\">Rowing</A>\r\n</DL>\r\n");
        settings.store.WriteString("Software\\Netscape\\Netscape Navigator\\Bookmark List",
                                   "File Location", home + "bookmark.htm");
        WriteFile(home + "members.txt", "New members welcome.\n");
        WriteFile(home + "boats.txt", "Coxless fours\n");
    }

    // Replaces the text of a one-line edit by typing over it.
    void TypeOver(QLineEdit* edit, const QString& text) {
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, text);
    }
    void AnswerFirstBookmark() {
        ui.AnswerExec([](QDialog& dialog) {
            auto* list = dialog.findChild<QListWidget*>("lstBookmarks");
            ASSERT_NE(list, nullptr);
            list->setCurrentRow(0);
            dialog.accept();
        });
    }
    void AnswerFile(const std::string& path) { ui.AnswerFileDialog(QString::fromStdString(path)); }

    // One edit of block `row`: the block is clicked first when it is not the one shown, then
    // `beforeEdit` runs, then the edit, then `afterEdit`.
    void Edit(int row, const char* what, const std::function<void()>& edit) {
        Activate();
        if (F().lstBlocks->currentRow() != row)
            ClickEntry(F().lstBlocks, row);
        if (beforeEdit)
            beforeEdit();
        edit();
        if (afterEdit)
            afterEdit(what);
    }

    // 0 page settings, 1 heading, 2 image, 3 link, 4 paragraph, 5 bullet list, 6 line.
    void BuildByHand() {
        DropFromPalette(btHeading, 1);
        DropFromPalette(btBullet, 5);
        DropFromPalette(btHR, 6);

        Edit(0, "page title", [&] { QTest::keyClicks(F().txtPageTitle, "Riverside Rowing"); });
        Edit(0, "no underline", [&] { Click(F().chkLinkUnderline); });
        Edit(0, "meta add", [&] {
            AnswerMeta({"Keywords", "rowing"});
            Click(F().btnMetaAdd);
        });
        Edit(0, "second meta add", [&] {
            AnswerMeta({"Author", "Ann"});
            Click(F().btnMetaAdd);
        });
        Edit(0, "meta edit", [&] {
            ClickEntry(F().lstMeta, 0);
            AnswerMeta({"Keywords", "rowing, river"});
            Click(F().btnMetaEdit);
        });
        Edit(0, "meta double-click", [&] {
            AnswerMeta({"Author", "Ann Lee"});
            DoubleClickEntry(F().lstMeta, 1);
        });
        Edit(0, "third meta add", [&] {
            AnswerMeta({"Description", "to go"});
            Click(F().btnMetaAdd);
        });
        Edit(0, "meta remove", [&] {
            ClickEntry(F().lstMeta, 2);
            Click(F().btnMetaRemove);
        });

        Edit(1, "heading", [&] { QTest::keyClicks(F().txtHeading, "Welcome aboard"); });
        Edit(1, "heading font", [&] {
            AnswerFont({"Arial", 20, clNavy, true, false, false});
            Click(F().btnHeadingFont);
        });
        Edit(1, "align left", [&] { Click(F().btnLeft); });
        Edit(1, "align right", [&] { Click(F().btnRight); });

        Edit(2, "picture", [&] {
            AnswerFile(outside_.path().toStdString() + "/boat.bmp");
            Click(F().btnImagePic);
        });
        Edit(2, "image height", [&] { TypeOver(F().txtImageH, "61"); });
        Edit(2, "image width", [&] { TypeOver(F().txtImageW, "91"); });
        Edit(2, "image hint", [&] { QTest::keyClicks(F().txtImageAlt, "Our boat"); });
        Edit(2, "image link browse", [&] {
            AnswerFile(home + "page.html");
            Click(F().btnImageLink);
        });
        Edit(2, "image link bookmark", [&] {
            AnswerFirstBookmark();
            Click(F().btnImageNetscape);
        });
        Edit(2, "image link favourite", [&] {
            AnswerFile(home + "club.url");
            Click(F().btnImageIE);
        });
        Edit(2, "image align", [&] { TypeOver(F().cbImageAlign->lineEdit(), "MIDDLE"); });

        Edit(3, "link address",
             [&] { QTest::keyClicks(F().txtLinkAddress, "captain@rowing.example"); });
        Edit(3, "link text", [&] { QTest::keyClicks(F().txtLinkText, "Write the captain"); });
        Edit(3, "e-mail link", [&] { Click(F().chkEmail); });
        Edit(3, "drop box on", [&] { Click(F().chkLink); });
        Edit(3, "drop-box add", [&] { Click(F().btnLinkAdd); });
        Edit(3, "second drop-box add", [&] {
            QTest::keyClicks(F().txtLinkAddress, "http://rowing.example/");
            QTest::keyClicks(F().txtLinkText, "Club home");
            Click(F().btnLinkAdd);
        });
        Edit(3, "drop-box double-click", [&] { DoubleClickEntry(F().lstLinks, 1); });
        Edit(3, "drop-box apply edit", [&] {
            TypeOver(F().txtLinkText, "Club pages");
            Click(F().btnLinkEdit);
        });
        Edit(3, "drop-box remove", [&] {
            ClickEntry(F().lstLinks, 1);
            Click(F().btnLinkRemove);
        });
        Edit(3, "drop-box add again", [&] {
            ClickEntry(F().lstLinks, 0);
            QTest::keyClicks(F().txtLinkAddress, "http://rowing.example/");
            QTest::keyClicks(F().txtLinkText, "Club pages");
            Click(F().btnLinkAdd);
        });
        Edit(3, "drop box off", [&] { Click(F().chkLink); });
        Edit(3, "drop box on again", [&] { Click(F().chkLink); });
        Edit(3, "link browse", [&] {
            AnswerFile(home + "page.html");
            Click(F().btnLinkBrowse);
        });
        Edit(3, "link favourite", [&] {
            AnswerFile(home + "club.url");
            Click(F().btnLinkIE);
        });
        Edit(3, "link bookmark", [&] {
            AnswerFirstBookmark();
            Click(F().btnLinkNetscape);
        });
        Edit(3, "single link text", [&] { QTest::keyClicks(F().txtLinkText, "News"); });
        Edit(3, "new paragraph", [&] { Click(F().btnParagraph); });

        Edit(4, "paragraph", [&] {
            QTest::keyClicks(F().txtText, "We row every Sunday.");
            QTest::keyClick(F().txtText, Qt::Key_Return);
        });
        Edit(4, "paragraph import", [&] {
            AnswerFile(home + "members.txt");
            Click(F().btnTextImport);
        });
        Edit(4, "paragraph font", [&] {
            AnswerFont({"Courier New", 10, clMaroon, false, true, false});
            Click(F().btnTextFont);
        });
        Edit(4, "align centre", [&] { Click(F().btnCenter); });

        Edit(5, "bullets", [&] {
            QTest::keyClicks(F().txtBullets, "Sculls");
            QTest::keyClick(F().txtBullets, Qt::Key_Return);
        });
        Edit(5, "bullet import", [&] {
            AnswerFile(home + "boats.txt");
            Click(F().btnBulletImport);
        });
        Edit(5, "bullet style", [&] {
            F().cbBullets->setFocus();
            QTest::keyClick(F().cbBullets, Qt::Key_Down);
        });

        Edit(6, "line thickness", [&] {
            F().cbHR->setFocus();
            QTest::keyClick(F().cbHR, Qt::Key_Down);
        });
        Edit(6, "line width", [&] {
            Click(F().updnHRWidth->DownButton());
            Click(F().updnHRWidth->DownButton());
        });
        Edit(6, "no shade", [&] { Click(F().chkNoShade); });
    }

    void SaveWithTheKeys(const std::string& path) {
        Activate();
        AnswerFile(path);
        ui.AnswerMessage(mbOK);
        QTest::keyClick(F().lstBlocks, Qt::Key_S, Qt::ControlModifier);
    }

    std::function<void()> beforeEdit;
    std::function<void(const char*)> afterEdit;
    QTemporaryDir outside_;
};

TEST_F(TypedPageTest, EveryEditRaisesTheModifiedFlag) {
    OpenShown();
    const std::string path = home + "TesselFiles/Club.pgx";
    beforeEdit = [&] {
        SaveWithTheKeys(path);
        ASSERT_FALSE(window->Modified());
    };
    afterEdit = [&](const char* what) { EXPECT_TRUE(window->Modified()) << what; };
    BuildByHand();
}

TEST_F(TypedPageTest, ClosingAfterATypedEditAsksFirst) {
    OpenShown();
    QTest::keyClicks(F().txtPageTitle, "Riverside");
    ui.AnswerMessage(mbCancel);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    ui.AnswerMessage(mbNo);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[0].text, "Would you like to save changes to Untitled?");
}

TEST_F(TypedPageTest, FillingThePanelsIsNoEditButDeletingAndMovingBlocksAre) {
    OpenShown();
    ClickEntry(F().lstBlocks, 3);
    QTest::keyClicks(F().txtText, "Hello");
    const std::string path = home + "TesselFiles/Hello.pgx";
    SaveWithTheKeys(path);
    Click(F().btnNew);
    EXPECT_FALSE(window->Modified());
    EXPECT_EQ(ui.Messages().size(), 1u);  // nothing to ask about

    window.reset();
    OpenShown({QString::fromStdString(path)});
    EXPECT_FALSE(window->Modified());

    ClickEntry(F().lstBlocks, 2);
    SaveWithTheKeys(path);
    ui.AnswerMessage(mbYes);
    QTest::keyClick(F().lstBlocks, Qt::Key_Delete);
    EXPECT_EQ(Page().Count(), 3);
    EXPECT_TRUE(window->Modified());

    SaveWithTheKeys(path);
    ClickEntry(F().lstBlocks, 2);
    SaveWithTheKeys(path);
    window->lstBlocksDragDrop(TDragSource::Blocks, 1);
    EXPECT_EQ(Page().Items(1).BlockType, btText);
    EXPECT_TRUE(window->Modified());
}

TEST_F(TypedPageTest, ATypedPageSavedClosedAndReopenedShowsEveryValue) {
    OpenShown();
    BuildByHand();
    const std::string path = home + "TesselFiles/Rowing Club.pgx";
    SaveWithTheKeys(path);
    const size_t shown = ui.Messages().size();
    EXPECT_TRUE(window->close());
    EXPECT_EQ(ui.Messages().size(), shown);  // saved: no question

    window.reset();
    OpenShown({QString::fromStdString(path)});
    ASSERT_EQ(F().lstBlocks->count(), 7);
    EXPECT_EQ(F().txtPageTitle->text(), "Riverside Rowing");
    EXPECT_TRUE(F().chkLinkUnderline->isChecked());
    EXPECT_EQ(F().lstMeta->Lines(), (QStringList{"Keywords\trowing, river", "Author\tAnn Lee"}));

    ClickEntry(F().lstBlocks, 1);
    EXPECT_EQ(F().txtHeading->toPlainText(), "Welcome aboard");
    EXPECT_EQ(F().txtHeading->font().family(), "Arial");
    EXPECT_TRUE(F().txtHeading->font().bold());
    EXPECT_EQ(window->FontChosen(0), 1);
    EXPECT_TRUE(F().btnRight->isChecked());

    ClickEntry(F().lstBlocks, 2);
    EXPECT_EQ(F().txtImageFile->text(), "boat.bmp");
    EXPECT_EQ(F().txtImageH->text(), "61");
    EXPECT_EQ(F().txtImageW->text(), "91");
    EXPECT_EQ(F().txtImageAlt->text(), "Our boat");
    EXPECT_EQ(F().txtImageLink->text(), "http://club.example/");
    EXPECT_EQ(F().cbImageAlign->currentText(), "MIDDLE");
    EXPECT_EQ(F().imgImageView->size(), QSize(90, 60));

    ClickEntry(F().lstBlocks, 3);
    EXPECT_TRUE(F().chkLink->isChecked());
    EXPECT_EQ(F().lstLinks->Lines(),
              (QStringList{"mailto:captain@rowing.example\tWrite the captain",
                           "http://rowing.example/\tClub pages"}));
    EXPECT_EQ(F().txtLinkAddress->text(), "http://rowing.example/");
    EXPECT_EQ(F().txtLinkText->text(), "News");
    EXPECT_FALSE(F().chkEmail->isChecked());
    EXPECT_FALSE(F().btnParagraph->isChecked());

    ClickEntry(F().lstBlocks, 4);
    EXPECT_EQ(F().txtText->toPlainText(), "We row every Sunday.\nNew members welcome.\n");
    EXPECT_EQ(F().txtText->font().family(), "Courier New");
    EXPECT_TRUE(F().txtText->font().italic());
    EXPECT_TRUE(F().btnCenter->isChecked());

    ClickEntry(F().lstBlocks, 5);
    EXPECT_EQ(F().txtBullets->toPlainText(), "Sculls\nCoxless fours\n");
    EXPECT_EQ(F().cbBullets->currentText(), "Circle");

    ClickEntry(F().lstBlocks, 6);
    EXPECT_EQ(F().cbHR->currentIndex(), 1);
    EXPECT_EQ(F().txtHRWidth->text(), "90");
    EXPECT_EQ(F().bevHR->width(), 225);
    EXPECT_TRUE(F().chkNoShade->isChecked());
}

}  // namespace
}  // namespace tessel
