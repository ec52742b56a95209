// A page with every kind of block built through the window as a user would, saved, checked
// on disk, and opened again from the command line.

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "app/MainFixture.h"
#include "dialogs/Misc.h"
#include "document/Stream.h"
#include "html/PageHtml.h"

namespace tessel {
namespace {

class EndToEndTest : public MainWindowTest {
  protected:
    void Click(int row) { F().lstBlocks->setCurrentRow(row); }

    // Builds the page: 0 settings, 1 heading, 2 image, 3 link, 4 text, 5 bullets, 6 line,
    // 7 forms.
    void BuildPage(const std::string& outsidePicture) {
        DropFromPalette(btHeading, 0);
        DropFromPalette(btBullet, F().lstBlocks->count());
        DropFromPalette(btHR, F().lstBlocks->count());
        DropFromPalette(btForms, F().lstBlocks->count());

        Click(0);
        F().txtPageTitle->setText("Riverside Rowing Club");
        F().chkLinkUnderline->setChecked(true);
        AnswerMeta({"Keywords", "rowing, river"});
        window->btnMetaAddClick();
        AnswerMeta({"Description", "Our rowing club"});
        window->btnMetaAddClick();

        Click(1);
        F().txtHeading->setPlainText("Welcome aboard");
        AnswerFont({"Arial", 20, clNavy, true, false, false});
        window->btnHeadingFontClick(0);
        F().btnRight->setChecked(true);

        Click(2);
        ui.AnswerFileDialog(QString::fromStdString(outsidePicture));
        window->btnImagePicClick();
        F().txtImageAlt->setText("Our boat");
        F().txtImageLink->setText("http://rowing.example/boats");
        F().cbImageAlign->setCurrentText("MIDDLE");

        Click(3);
        F().txtLinkAddress->setText("http://rowing.example/");
        F().txtLinkText->setText("Club home");
        window->btnLinkAddClick();
        F().txtLinkAddress->setText("captain@rowing.example");
        F().txtLinkText->setText("Write the captain");
        F().chkEmail->setChecked(true);
        window->btnLinkAddClick();
        F().txtLinkAddress->setText("http://rowing.example/news");
        F().txtLinkText->setText("News");
        F().btnParagraph->setChecked(false);

        Click(4);
        F().txtText->setPlainText("We row every Sunday.\n\nNew members welcome.");
        AnswerFont({"Courier New", 10, clMaroon, false, true, false});
        window->btnHeadingFontClick(1);
        F().btnCenter->setChecked(true);

        Click(5);
        F().txtBullets->setPlainText("Sculls\nEights\nCoxless fours");
        F().cbBullets->setCurrentIndex(5);

        Click(6);
        F().cbHR->setCurrentIndex(3);
        F().updnHRWidth->setValue(60);
        F().chkNoShade->setChecked(true);

        Click(7);
    }

    void CheckDocument(TPagelette& page) {
        ASSERT_EQ(page.Page().Count(), 8);
        const TBlockType kinds[] = {btPageProperties, btHeading, btImage, btLink,
                                    btText,           btBullet,  btHR,    btForms};
        for (int i = 0; i < 8; ++i) EXPECT_EQ(page.Page().Items(i).BlockType, kinds[i]) << i;
        const TPagePropertiesBlock& settings = page.Page().Items(0).PagePropertiesBlock();
        EXPECT_EQ(settings.PageTitle, "Riverside Rowing Club");
        EXPECT_TRUE(settings.Underline);
        EXPECT_EQ(settings.MetaText, "Keywords\trowing, river\r\nDescription\tOur rowing club\r\n");
        EXPECT_EQ(settings.ThemeName, "Default");

        TPageItem& heading = page.Page().Items(1);
        EXPECT_EQ(heading.HeadingBlock().Heading, "Welcome aboard");
        EXPECT_EQ(heading.HeadingBlock().Attributes, R"("Arial", 20, [Bold], [clNavy])");
        EXPECT_EQ(heading.HeadingBlock().ApplyFont, 1);
        EXPECT_EQ(heading.BlockAlign, baRight);

        const TImageBlock& image = page.Page().Items(2).ImageBlock();
        EXPECT_EQ(image.FileName, "boat.bmp");
        EXPECT_EQ(image.Width, "90");
        EXPECT_EQ(image.Height, "60");
        EXPECT_EQ(image.Alt, "Our boat");
        EXPECT_EQ(image.ImageLink, "http://rowing.example/boats");
        EXPECT_EQ(image.Align, "MIDDLE");

        TPageItem& linkBlock = page.Page().Items(3);
        const TLinkBlock& link = linkBlock.LinkBlock();
        EXPECT_TRUE(link.UseDropBox);
        EXPECT_EQ(link.DropBoxText,
                  "http://rowing.example/\tClub home\r\nmailto:captain@rowing.example\tWrite the "
                  "captain\r\n");
        EXPECT_EQ(link.LinkURL, "http://rowing.example/news");
        EXPECT_EQ(link.LinkText, "News");
        EXPECT_FALSE(linkBlock.BlockOnNewLine);

        TPageItem& text = page.Page().Items(4);
        EXPECT_EQ(text.TextBlock().Text, "We row every Sunday.\r\n\r\nNew members welcome.");
        EXPECT_EQ(text.TextBlock().Attributes, R"("Courier New", 10, [Italic], [clMaroon])");
        EXPECT_EQ(text.BlockAlign, baCenter);

        EXPECT_EQ(page.Page().Items(5).BulletBlock().Bullets, "Sculls\r\nEights\r\nCoxless fours");
        EXPECT_EQ(page.Page().Items(5).BulletBlock().Style, lsNum);
        const THRBlock& rule = page.Page().Items(6).HRBlock();
        EXPECT_EQ(rule.Size, 3);
        EXPECT_EQ(rule.Width, 60);
        EXPECT_TRUE(rule.NoShade);
    }
};

TEST_F(EndToEndTest, APageWithEveryBlockIsBuiltSavedAndOpenedAgain) {
    Open();
    QTemporaryDir elsewhere;
    const std::string outside = elsewhere.path().toStdString() + "/boat.bmp";
    QImage boat(90, 60, QImage::Format_RGB32);
    boat.fill(Qt::blue);
    ASSERT_TRUE(boat.save(QString::fromStdString(outside), "BMP"));
    BuildPage(outside);

    const std::string path = home + "TesselFiles/Rowing Club.pgx";
    ui.AnswerFileDialog(QString::fromStdString(path));
    ui.AnswerMessage(mbOK);
    window->mnuSaveClick();
    EXPECT_EQ(ui.Messages().back().text,
              "\"RowingClub.html\" page has been automatically saved in your Uploads folder.");
    EXPECT_FALSE(window->Modified());
    EXPECT_TRUE(Exists(home + "Upload/images/boat.bmp"));

    std::unique_ptr<TPagelette> saved = ReadDocumentFile(path);
    CheckDocument(*saved);

    // Both HTML files are the generator's output for the saved document.
    for (const auto& [mode, file] : {std::pair{omLocalCopy, home + "TesselFiles/Rowing Club.html"},
                                     std::pair{omServerCopy, home + "Upload/RowingClub.html"}}) {
        std::vector<std::string> lines;
        TGenerateOptions options;
        options.mode = mode;
        options.programFolder = home;
        GeneratePage(*saved, lines, options);
        EXPECT_EQ(ReadFile(file), PageText(lines)) << file;
    }
    const std::string server = ReadFile(home + "Upload/RowingClub.html");
    for (const char* piece : {"<TITLE>Riverside Rowing Club</TITLE>", "Welcome aboard",
                              "IMG SRC=\"boat.bmp\"", "Write the captain", "New members welcome.",
                              "Coxless fours", "<HR WIDTH=\"60%\" SIZE=\"12\" NOSHADE>"}) {
        EXPECT_NE(server.find(piece), std::string::npos) << piece;
    }
    EXPECT_NE(ReadFile(home + "TesselFiles/Rowing Club.html").find("../Upload/images/boat.bmp"),
              std::string::npos);

    // Opened again from the command line, every value is back in its panel.
    window.reset();
    Open({QString::fromStdString(path)});
    EXPECT_EQ(window->windowTitle(), "Rowing Club.pgx - Brindle HTML Tessel 4.0");
    ASSERT_EQ(F().lstBlocks->count(), 8);
    EXPECT_EQ(F().txtPageTitle->text(), "Riverside Rowing Club");
    EXPECT_TRUE(F().chkLinkUnderline->isChecked());
    EXPECT_EQ(F().lstMeta->Lines(),
              (QStringList{"Keywords\trowing, river", "Description\tOur rowing club"}));

    Click(1);
    EXPECT_EQ(F().txtHeading->toPlainText(), "Welcome aboard");
    EXPECT_EQ(F().txtHeading->font().family(), "Arial");
    EXPECT_TRUE(F().btnRight->isChecked());
    EXPECT_EQ(window->FontChosen(0), 1);

    Click(2);
    EXPECT_EQ(F().txtImageFile->text(), "boat.bmp");
    EXPECT_EQ(F().txtImageW->text(), "90");
    EXPECT_EQ(F().txtImageH->text(), "60");
    EXPECT_EQ(F().txtImageAlt->text(), "Our boat");
    EXPECT_EQ(F().txtImageLink->text(), "http://rowing.example/boats");
    EXPECT_EQ(F().cbImageAlign->currentText(), "MIDDLE");
    EXPECT_TRUE(F().lblImageError->isHidden());
    EXPECT_EQ(F().imgImageView->size(), QSize(90, 60));

    Click(3);
    EXPECT_TRUE(F().chkLink->isChecked());
    EXPECT_EQ(F().lstLinks->Lines(),
              (QStringList{"http://rowing.example/\tClub home",
                           "mailto:captain@rowing.example\tWrite the captain"}));
    EXPECT_EQ(F().txtLinkAddress->text(), "http://rowing.example/news");
    EXPECT_EQ(F().txtLinkText->text(), "News");
    EXPECT_FALSE(F().btnParagraph->isChecked());

    Click(4);
    EXPECT_EQ(F().txtText->toPlainText(), "We row every Sunday.\n\nNew members welcome.");
    EXPECT_TRUE(F().txtText->font().italic());
    EXPECT_TRUE(F().btnCenter->isChecked());

    Click(5);
    EXPECT_EQ(F().txtBullets->toPlainText(), "Sculls\nEights\nCoxless fours");
    EXPECT_EQ(F().cbBullets->currentText(), "1");

    Click(6);
    EXPECT_EQ(F().cbHR->currentIndex(), 3);
    EXPECT_EQ(F().txtHRWidth->text(), "60");
    EXPECT_TRUE(F().chkNoShade->isChecked());
    EXPECT_EQ(F().bevHR->width(), 150);

    Click(7);
    EXPECT_EQ(F().pnlPanels->currentWidget(), F().pnlForms);

    // Walking through the panels changed nothing.
    Click(0);
    CheckDocument(window->Document());
}

}  // namespace
}  // namespace tessel
