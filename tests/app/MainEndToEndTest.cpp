// A page with every kind of block built through the window as a user would, saved, checked
// on disk, and opened again from the command line.

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "app/EveryBlockPage.h"
#include "document/Stream.h"
#include "html/PageHtml.h"

namespace tessel {
namespace {

class EndToEndTest : public EveryBlockPageTest {};

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
    EXPECT_EQ(saved->Page().Items(0).PagePropertiesBlock().ThemeName, "Default");

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
    EXPECT_TRUE(F().chkFitScreens->isChecked());
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
