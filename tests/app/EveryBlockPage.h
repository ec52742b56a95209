#pragma once

// A page with a block of every kind, built through the main window as a user would, and the
// check of what it holds, for the tests that take such a page further.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/MainFixture.h"
#include "dialogs/Misc.h"
#include "platform/gui/DesktopLanguage.h"

namespace tessel {

class EveryBlockPageTest : public MainWindowTest {
  protected:
    using MainWindowTest::Click;
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
        Click(F().chkFitScreens);  // the language stays the desktop's
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

    // The blocks BuildPage made, in a page of `blocks` blocks.
    void CheckDocument(TPagelette& page, int blocks = 8) {
        ASSERT_EQ(page.Page().Count(), blocks);
        const TBlockType kinds[] = {btPageProperties, btHeading, btImage, btLink,
                                    btText,           btBullet,  btHR,    btForms};
        for (int i = 0; i < 8; ++i) EXPECT_EQ(page.Page().Items(i).BlockType, kinds[i]) << i;
        const TPagePropertiesBlock& settings = page.Page().Items(0).PagePropertiesBlock();
        EXPECT_EQ(settings.PageTitle, "Riverside Rowing Club");
        EXPECT_TRUE(settings.Underline);
        EXPECT_TRUE(settings.FitScreens);
        EXPECT_EQ(settings.Language, DesktopLanguage());
        EXPECT_EQ(settings.MetaText, "Keywords\trowing, river\r\nDescription\tOur rowing club\r\n");

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

}  // namespace tessel
