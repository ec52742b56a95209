#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "app/MainFixture.h"
#include "app/core/PageLanguages.h"
#include "dialogs/Misc.h"
#include "platform/gui/DesktopLanguage.h"
#include "ui_Misc.h"

namespace tessel {
namespace {

class EditorPanelsTest : public MainWindowTest {
  protected:
    // Adds a block of `kind` at the end of the document and of the list.
    TPageItem& Add(TBlockType kind) {
        InitNewBlock(window->Document(), Page().Count(), kind);
        window->RebuildBlockList();
        return Page().Items(Page().Count() - 1);
    }
    // As a click on the block's entry: the open panel is stored, the block shown.
    void Show(const TPageItem& block) {
        window->StoreBlock();
        {
            const QSignalBlocker quiet(F().lstBlocks);
            F().lstBlocks->setCurrentRow(block.Index());
        }
        window->ShowBlock();
    }
    TPageItem& ShowNew(TBlockType kind) {
        TPageItem& block = Add(kind);
        Show(block);
        return block;
    }
    void StoreByLeaving() { window->StoreBlock(); }

    std::string Picture(const std::string& path, int width, int height) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::red);
        EXPECT_TRUE(image.save(QString::fromStdString(path), "BMP"));
        return path;
    }
};

TEST_F(EditorPanelsTest, PageSettingsRoundTrip) {
    Open();
    TPagePropertiesBlock& values = Page().Items(0).PagePropertiesBlock();
    values.PageTitle = "Caf\xC3\xA9";
    values.Underline = true;
    values.MetaText = "Keywords\tcats, dogs\r\nDescription\tOur club\r\n";
    window->RebuildBlockList();
    EXPECT_EQ(F().txtPageTitle->text(), QString::fromUtf8("Caf\xC3\xA9"));
    EXPECT_TRUE(F().chkLinkUnderline->isChecked());
    ASSERT_EQ(F().lstMeta->count(), 2);
    EXPECT_EQ(F().lstMeta->Line(0), "Keywords\tcats, dogs");
    EXPECT_FALSE(F().btnMetaRemove->isEnabled());

    F().lstMeta->setCurrentRow(0);
    EXPECT_TRUE(F().btnMetaEdit->isEnabled());
    window->btnMetaRemoveClick();
    F().chkLinkUnderline->setChecked(false);
    StoreByLeaving();
    EXPECT_EQ(values.MetaText, "Description\tOur club\r\n");
    EXPECT_FALSE(values.Underline);
    EXPECT_EQ(values.PageTitle, "Caf\xC3\xA9");
}

// Ticked by the user, the option shows the language choice, starting at the desktop's; a
// page that never had the option keeps neither option nor language when its panel is left.
TEST_F(EditorPanelsTest, FitScreensTickedShowsTheLanguageAndStoresBoth) {
    OpenShown();
    TPagePropertiesBlock& values = Page().Items(0).PagePropertiesBlock();
    EXPECT_FALSE(F().chkFitScreens->isChecked());
    EXPECT_FALSE(F().cboLanguage->isVisible());
    EXPECT_EQ(F().cboLanguage->currentText().toStdString(), LanguageChoiceText(DesktopLanguage()));
    EXPECT_FALSE(window->Modified());
    Click(F().chkFitScreens);
    EXPECT_TRUE(window->Modified());
    EXPECT_TRUE(F().cboLanguage->isVisible());
    Click(F().chkFitScreens);
    StoreByLeaving();
    EXPECT_FALSE(values.FitScreens);
    EXPECT_EQ(values.Language, "");

    Click(F().chkFitScreens);
    EXPECT_TRUE(F().chkFitScreens->isChecked());
    StoreByLeaving();
    EXPECT_TRUE(values.FitScreens);
    EXPECT_EQ(values.Language, DesktopLanguage());

    F().cboLanguage->lineEdit()->selectAll();
    QTest::keyClicks(F().cboLanguage->lineEdit(), QStringLiteral("pt-BR"));
    StoreByLeaving();
    EXPECT_EQ(values.Language, "pt-BR");
    const int german = F().cboLanguage->findText(QStringLiteral("German (de)"));
    ASSERT_GE(german, 0);
    F().cboLanguage->setCurrentIndex(german);
    StoreByLeaving();
    EXPECT_EQ(values.Language, "de");

    // Unticked, the language is kept for a later tick, and hidden.
    Click(F().chkFitScreens);
    EXPECT_FALSE(F().cboLanguage->isVisible());
    StoreByLeaving();
    EXPECT_FALSE(values.FitScreens);
    EXPECT_EQ(values.Language, "de");

    // Showing a page with the option and a language of its own.
    values.FitScreens = true;
    values.Language = "de-CH";
    window->RebuildBlockList();
    EXPECT_TRUE(F().chkFitScreens->isChecked());
    EXPECT_TRUE(F().cboLanguage->isVisible());
    EXPECT_EQ(F().cboLanguage->currentText(), QStringLiteral("de-CH"));
}

TEST_F(EditorPanelsTest, HeadingTextAndFontRoundTrip) {
    Open();
    TPageItem& block = Add(btHeading);
    block.HeadingBlock().Heading = "Line one\r\nLine two";
    block.HeadingBlock().Attributes = R"("Arial", 14, [Bold|Italic], [clRed])";
    block.HeadingBlock().ApplyFont = 1;
    Show(block);
    EXPECT_EQ(F().txtHeading->toPlainText(), "Line one\nLine two");
    EXPECT_EQ(F().txtHeading->font().family(), "Arial");
    EXPECT_TRUE(F().txtHeading->font().bold());
    EXPECT_EQ(window->FontChosen(0), 1);
    StoreByLeaving();
    EXPECT_EQ(block.HeadingBlock().Attributes, R"("Arial", 14, [Bold|Italic], [clRed])");
    EXPECT_EQ(block.HeadingBlock().Heading, "Line one\r\nLine two");
    EXPECT_EQ(block.HeadingBlock().ApplyFont, 1);
}

TEST_F(EditorPanelsTest, TheFontDialogSetsTheMemoFontAndMarksItChosen) {
    Open();
    TPageItem& block = ShowNew(btText);
    EXPECT_EQ(window->FontChosen(1), 0);
    ui.AnswerExec([](QDialog& dialog) {
        auto& misc = dynamic_cast<TfrmMisc&>(dialog);
        TFontValue font = misc.FontValue();
        EXPECT_EQ(font.Name, "Times New Roman");
        font.Name = "Courier New";
        font.Size = 16;
        font.Underline = true;
        misc.SetFontValue(font);
        dialog.accept();
    });
    window->btnHeadingFontClick(1);
    EXPECT_EQ(window->FontChosen(1), 1);
    StoreByLeaving();
    EXPECT_EQ(block.TextBlock().Attributes, R"("Courier New", 16, [Underline], [$00050000])");
    EXPECT_EQ(block.TextBlock().ApplyFont, 1);

    ui.AnswerExec([](QDialog& dialog) { dialog.reject(); });
    Show(block);
    window->btnHeadingFontClick(0);
    EXPECT_EQ(window->FontChosen(0), 0);
}

TEST_F(EditorPanelsTest, BulletsAndLineRoundTrip) {
    Open();
    Add(btBullet);
    Add(btHR);
    TPageItem& bullets = Page().Items(4);
    TPageItem& line = Page().Items(5);
    Show(bullets);
    F().txtBullets->setPlainText("a\n\tb");
    F().cbBullets->setCurrentIndex(6);
    Show(line);
    EXPECT_EQ(bullets.BulletBlock().Bullets, "a\r\n\tb");
    EXPECT_EQ(bullets.BulletBlock().Style, lsUpCaseRoman);

    EXPECT_EQ(F().bevHR->width(), 250);
    EXPECT_EQ(F().bevHR->height(), 3);
    F().cbHR->setCurrentIndex(2);
    F().updnHRWidth->setValue(15);
    EXPECT_EQ(F().txtHRWidth->text(), "15");
    EXPECT_EQ(F().bevHR->width(), 38);
    EXPECT_EQ(F().bevHR->height(), 9);
    EXPECT_EQ(F().bevHR->x(), (F().pnlHRPreview->contentsRect().width() - 38) / 2);
    F().chkNoShade->setChecked(true);
    StoreByLeaving();
    EXPECT_EQ(line.HRBlock().Size, 2);
    EXPECT_EQ(line.HRBlock().Width, 15);
    EXPECT_TRUE(line.HRBlock().NoShade);

    Show(bullets);
    line.HRBlock().Width = 5;
    Show(line);
    EXPECT_EQ(F().bevHR->width(), 12);
}

TEST_F(EditorPanelsTest, ImageBlockShowsItsPictureOrNoImage) {
    Open();
    Picture(home + "Upload/images/cat.bmp", 40, 30);
    TPageItem& block = Add(btImage);
    block.ImageBlock().FileName = "cat.bmp";
    block.ImageBlock().Align = "ABSMIDDLE";
    block.ImageBlock().Alt = "A cat";
    Show(block);
    EXPECT_TRUE(F().lblImageError->isHidden());
    EXPECT_EQ(F().imgImageView->size(), QSize(40, 30));
    EXPECT_EQ(F().cbImageAlign->currentText(), "ABSMIDDLE");
    EXPECT_EQ(window->ImagePreviewPath().toStdString(), home + "Upload/images/cat.bmp");

    F().txtImageFile->setText("typed.gif");  // typing here changes nothing
    F().txtImageH->setText("60");
    StoreByLeaving();
    EXPECT_EQ(block.ImageBlock().FileName, "cat.bmp");
    EXPECT_EQ(block.ImageBlock().Height, "60");
    EXPECT_EQ(block.ImageBlock().Alt, "A cat");

    block.ImageBlock().FileName = "gone.gif";
    window->ShowBlock();
    EXPECT_FALSE(F().lblImageError->isHidden());
    EXPECT_EQ(F().lblImageError->text(), "No Image");
}

TEST_F(EditorPanelsTest, APictureNameWithAFolderIsNeverShown) {
    Open();
    Picture(home + "secret.bmp", 20, 20);
    TPageItem& block = Add(btImage);
    block.ImageBlock().FileName = "../../secret.bmp";
    Show(block);
    EXPECT_FALSE(F().lblImageError->isHidden());
    EXPECT_TRUE(F().imgImageView->pixmap().isNull());

    // Dots inside a plain name are no folder.
    Picture(home + "Upload/images/photo..bmp", 20, 20);
    block.ImageBlock().FileName = "photo..bmp";
    window->ShowBlock();
    EXPECT_TRUE(F().lblImageError->isHidden());
    EXPECT_FALSE(F().imgImageView->pixmap().isNull());
}

TEST_F(EditorPanelsTest, ChoosingAPictureCopiesItIntoTheImagesFolderOnce) {
    Open();
    QTemporaryDir elsewhere;
    const std::string outside = Picture(elsewhere.path().toStdString() + "/dog.bmp", 64, 48);
    TPageItem& block = ShowNew(btImage);
    ui.AnswerFileDialog(QString::fromStdString(outside));
    const int pushesBefore = ui.BusyPushes();
    window->btnImagePicClick();
    EXPECT_EQ(ui.BusyPushes() - pushesBefore, 2);  // hourglass while decoding, and while copying
    EXPECT_EQ(ui.BusyDepth(), 0);
    EXPECT_EQ(ui.FileDialogs().back().kind, TFileDialogKind::Picture);
    EXPECT_EQ(ui.FileDialogs().back().request.folder.toStdString(), home + "Upload/images/");
    EXPECT_TRUE(Exists(home + "Upload/images/dog.bmp"));
    EXPECT_EQ(F().txtImageW->text(), "64");
    EXPECT_EQ(F().txtImageH->text(), "48");
    EXPECT_EQ(F().txtImageFile->text(), "dog.bmp");
    EXPECT_EQ(window->ImagePreviewPath().toStdString(), home + "Upload/images/dog.bmp");
    StoreByLeaving();
    EXPECT_EQ(block.ImageBlock().FileName, "dog.bmp");

    // Another dog.bmp, kept out of the folder by answering No: the folder's file stays and
    // is the one the page uses.
    const std::string other = Picture(elsewhere.path().toStdString() + "/sub/dog.bmp", 10, 10);
    ui.AnswerFileDialog(QString::fromStdString(other));
    ui.AnswerMessage(mbNo);
    window->btnImagePicClick();
    EXPECT_EQ(QImage(QString::fromStdString(home + "Upload/images/dog.bmp")).width(), 64);
    EXPECT_EQ(window->ImagePreviewPath().toStdString(), other);
    StoreByLeaving();
    EXPECT_EQ(block.ImageBlock().FileName, "dog.bmp");

    // A file that cannot be decoded is refused: the block stays as it was, nothing is copied.
    const std::string broken = elsewhere.path().toStdString() + "/broken.gif";
    WriteFile(broken, "not a picture");
    ui.AnswerFileDialog(QString::fromStdString(broken));
    ui.AnswerMessage(mbOK);
    window->btnImagePicClick();
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages().back().kind, TMsgKind::Error);
    EXPECT_EQ(ui.Messages().back().text, "The picture could not be read: broken.gif");
    EXPECT_FALSE(F().imgImageView->pixmap().isNull());
    EXPECT_EQ(F().txtImageW->text(), "10");
    EXPECT_EQ(F().txtImageFile->text(), "dog.bmp");
    EXPECT_FALSE(Exists(home + "Upload/images/broken.gif"));
    StoreByLeaving();
    EXPECT_EQ(block.ImageBlock().FileName, "dog.bmp");
}

TEST_F(EditorPanelsTest, TextImportInsertsTheFileAtTheCaret) {
    Open();
    ShowNew(btText);
    F().txtText->setPlainText("<>");
    QTextCursor caret = F().txtText->textCursor();
    caret.setPosition(1);
    F().txtText->setTextCursor(caret);
    const std::string file = home + "notes.txt";
    WriteFile(file, "first\r\nsecond");
    ui.AnswerFileDialog(QString::fromStdString(file));
    window->btnTextImportClick(false);
    EXPECT_EQ(F().txtText->toPlainText(), "<first\nsecond\n>");
    EXPECT_EQ(ui.FileDialogs().back().request.filter, "Text Files (*.txt)");

    ui.AnswerFileDialog(QString::fromStdString(home + "missing.txt"));
    window->btnTextImportClick(true);
    EXPECT_EQ(F().txtBullets->toPlainText(), "");
}

TEST_F(EditorPanelsTest, LinkPanelRoundTripAndDropBoxButtons) {
    Open();
    TPageItem& block = ShowNew(btLink);
    EXPECT_FALSE(F().btnLinkAdd->isEnabled());
    EXPECT_FALSE(F().lstLinks->isEnabled());
    F().chkLink->setChecked(true);
    EXPECT_TRUE(F().btnLinkAdd->isEnabled());
    EXPECT_FALSE(F().btnLinkRemove->isEnabled());

    F().txtLinkAddress->setText("me@example.org");
    F().txtLinkText->setText("Mail me");
    F().chkEmail->setChecked(true);
    window->btnLinkAddClick();
    F().txtLinkAddress->setText("http://b.example/");
    F().txtLinkText->setText("B");
    window->btnLinkAddClick();  // after the selected first entry
    F().lstLinks->setCurrentRow(-1);
    F().txtLinkAddress->setText("http://a.example/");
    F().txtLinkText->setText("A");
    window->btnLinkAddClick();  // nothing selected: at the top
    EXPECT_EQ(F().lstLinks->Lines(),
              (QStringList{"http://a.example/\tA", "mailto:me@example.org\tMail me",
                           "http://b.example/\tB"}));
    EXPECT_TRUE(F().txtLinkAddress->text().isEmpty());
    EXPECT_FALSE(F().chkEmail->isChecked());

    F().txtLinkAddress->setText("only an address");
    window->btnLinkAddClick();
    EXPECT_EQ(F().lstLinks->count(), 3);

    F().lstLinks->setCurrentRow(1);
    window->lstLinksDblClick();
    EXPECT_TRUE(F().chkEmail->isChecked());
    EXPECT_EQ(F().txtLinkAddress->text(), "me@example.org");
    EXPECT_EQ(F().txtLinkText->text(), "Mail me");
    F().txtLinkText->setText("Write to me");
    window->btnLinkEditClick();
    EXPECT_EQ(F().lstLinks->Line(1), "mailto:me@example.org\tWrite to me");
    EXPECT_EQ(F().lstLinks->currentRow(), 1);

    window->lstLinksDragDrop(TDragSource::Links, 0);
    EXPECT_EQ(F().lstLinks->Line(0), "mailto:me@example.org\tWrite to me");
    EXPECT_EQ(F().lstLinks->Line(1), "http://a.example/\tA");
    window->lstLinksDragDrop(TDragSource::Links, -1);
    EXPECT_EQ(F().lstLinks->Line(0), "mailto:me@example.org\tWrite to me");

    F().lstLinks->setCurrentRow(2);
    window->btnLinkRemoveClick();  // the selected entry goes
    EXPECT_EQ(F().lstLinks->count(), 2);
    EXPECT_EQ(F().lstLinks->Line(1), "http://a.example/\tA");

    F().txtLinkAddress->setText("http://single.example/");
    F().txtLinkText->setText("Single");
    StoreByLeaving();
    const TLinkBlock& link = block.LinkBlock();
    EXPECT_TRUE(link.UseDropBox);
    EXPECT_EQ(link.DropBoxText, "mailto:me@example.org\tWrite to me\r\nhttp://a.example/\tA\r\n");
    EXPECT_EQ(link.LinkURL, "http://single.example/");

    window->btnLinkRemoveClick();
    Show(block);
    window->btnLinkRemoveClick();
    window->btnLinkRemoveClick();
    EXPECT_FALSE(F().chkLink->isChecked());
    EXPECT_FALSE(F().btnLinkRemove->isEnabled());
}

TEST_F(EditorPanelsTest, FavouritesFillTheAddressOfTheirPanel) {
    Open();
    ShowNew(btLink);
    const std::string shortcut = home + "club.url";
    WriteFile(shortcut, "[InternetShortcut]\r\nURL=http://club.example/\r\n");
    ui.AnswerFileDialog(QString::fromStdString(shortcut));
    window->btnLinkIEClick(0);
    EXPECT_EQ(F().txtLinkAddress->text(), "http://club.example/");
    ui.AnswerFileDialog(QString::fromStdString(shortcut));
    window->btnLinkIEClick(1);
    EXPECT_EQ(F().txtImageLink->text(), "http://club.example/");

    // Browse offers every file, whatever an import looked for before.
    ui.AnswerFileDialog(QString::fromStdString(home + "page.html"));
    window->btnLinkBrowseClick(0);
    EXPECT_EQ(ui.FileDialogs().back().request.filter, "All Files (*)");
    EXPECT_EQ(F().txtLinkAddress->text().toStdString(), home + "page.html");
}

TEST_F(EditorPanelsTest, ABookmarkGoesIntoTheImageLink) {
    Open();
    const std::string bookmarks = home + "bookmark.htm";
    WriteFile(bookmarks, "<DL><DT><A HREF=\"http://rowing.example/\">Rowing</A>\r\n</DL>\r\n");
    settings.store.WriteString("Software\\Netscape\\Netscape Navigator\\Bookmark List",
                               "File Location", bookmarks);
    ShowNew(btImage);
    ui.AnswerExec([](QDialog& dialog) {
        auto* list = dialog.findChild<QListWidget*>("lstBookmarks");
        ASSERT_NE(list, nullptr);
        ASSERT_GE(list->count(), 1);
        list->setCurrentRow(0);
        dialog.accept();
    });
    window->btnLinkNetscapeClick(1);
    EXPECT_EQ(F().txtImageLink->text(), "http://rowing.example/");
    EXPECT_TRUE(F().txtLinkAddress->text().isEmpty());
}

TEST_F(EditorPanelsTest, MetaTagsAreAddedAndEditedThroughTheDialog) {
    Open();
    ui.AnswerExec([](QDialog& dialog) {
        auto& misc = dynamic_cast<TfrmMisc&>(dialog);
        EXPECT_EQ(misc.MetaTag().Name, "Description");
        misc.SetMetaTag({"Keywords", "tessel, pages"});
        dialog.accept();
    });
    window->btnMetaAddClick();
    ASSERT_EQ(F().lstMeta->count(), 1);
    EXPECT_EQ(F().lstMeta->Line(0), "Keywords\ttessel, pages");
    EXPECT_EQ(F().lstMeta->currentRow(), 0);

    ui.AnswerExec([](QDialog& dialog) {
        auto& misc = dynamic_cast<TfrmMisc&>(dialog);
        EXPECT_EQ(misc.MetaTag(), (TMetaTag{"Keywords", "tessel, pages"}));
        misc.SetMetaTag({"Keywords", "more"});
        dialog.accept();
    });
    window->btnMetaEditClick();
    EXPECT_EQ(F().lstMeta->Line(0), "Keywords\tmore");
    StoreByLeaving();
    EXPECT_EQ(Page().Items(0).PagePropertiesBlock().MetaText, "Keywords\tmore\r\n");
}

TEST_F(EditorPanelsTest, TheListBoxFitsItsScrollRangeToTheWidestLine) {
    Open();
    TListBoxHrz* list = F().lstMeta;
    EXPECT_EQ(list->CurrentWidth(), 0);
    list->AddLine("short");
    const int small = list->CurrentWidth();
    list->AddLine("a much, much longer line of meta content\twith more after a tab");
    const int wide = list->CurrentWidth();
    EXPECT_GT(wide, small);
    list->DeleteLine(1);
    EXPECT_EQ(list->CurrentWidth(), small);
    list->ClearLines();
    EXPECT_EQ(list->CurrentWidth(), 0);
}

}  // namespace
}  // namespace tessel
