// The preview as the user sees it, compared with reference pictures: a page with every
// block kind and an e-mail form, plain and under a theme with a background picture.

#include <QPainter>
#include <QTest>
#include <QToolButton>

#include "app/MainFixture.h"
#include "document/Stream.h"
#include "platform/gui/HtmlView.h"
#include "platform/gui/PictureCompare.h"

namespace tessel {
namespace {

const QString kReferenceFolder = QStringLiteral(TESSEL_TEST_DATA "/preview/");
const QSize kViewSize(640, 1150);

TPageItem& Add(TPagelette& page, TBlockType kind, TBlockAlignment align = baNone) {
    TPageItem& item = InitNewBlock(page, page.Page().Count(), kind);
    item.BlockAlign = align;
    item.BlockOnNewLine = true;
    return item;
}

void AddField(TPagelette& page, TFieldKind kind, const std::string& label,
              std::vector<std::string> strings) {
    TFormElement& field = page.WebForm().Add();
    field.FieldKind = kind;
    field.Name = label;
    field.Text = label;
    field.Strings().lines = std::move(strings);
}

std::unique_ptr<TPagelette> EveryBlockPage() {
    auto page = std::make_unique<TPagelette>();
    SetDefaultBlocks(*page);
    while (page->Page().Count() > 1) page->Page().Delete(1);
    page->Page().Items(0).PagePropertiesBlock().PageTitle = "Riverside Rowing Club";

    THeadingBlock& heading = Add(*page, btHeading, baCenter).HeadingBlock();
    heading.Heading = "Riverside Rowing Club";
    heading.Attributes = R"("Arial", 20, [Bold], [clNavy])";
    heading.ApplyFont = 1;
    TTextBlock& text = Add(*page, btText).TextBlock();
    text.Text = "We row on the river every Saturday morning.\r\n\r\nNew members are welcome.";
    text.Attributes = R"("Times New Roman", 12, [Italic], [clMaroon])";
    text.ApplyFont = 1;
    TImageBlock& boat = Add(*page, btImage, baCenter).ImageBlock();
    boat.FileName = "boat.png";
    boat.Alt = "Our boat";
    boat.Width = "160";
    boat.Height = "100";
    TImageBlock& flag = Add(*page, btImage).ImageBlock();
    flag.FileName = "flag.gif";
    flag.Alt = "Club flag";
    flag.Width = "120";
    flag.Height = "40";
    TLinkBlock& link = Add(*page, btLink).LinkBlock();
    link.LinkURL = "http://127.0.0.2/members.html";
    link.LinkText = "Members' pages";
    TLinkBlock& dropBox = Add(*page, btLink).LinkBlock();
    dropBox.UseDropBox = true;
    dropBox.DropBoxText = "http://127.0.0.2/a.html\tRegattas\r\n";
    TLinkBlock& mail = Add(*page, btLink, baRight).LinkBlock();
    mail.LinkURL = "captain@example.com";
    mail.LinkText = "Write to the captain";
    mail.Email = true;
    Add(*page, btBullet).BulletBlock().Bullets = "Boats\r\nOars\r\nCoaching";
    TBulletBlock& numbered = Add(*page, btBullet).BulletBlock();
    numbered.Bullets = "Warm up\r\nRow";
    numbered.Style = lsUpCaseRoman;
    THRBlock& shaded = Add(*page, btHR).HRBlock();
    shaded.Width = 100;
    shaded.Size = 1;
    THRBlock& solid = Add(*page, btHR).HRBlock();
    solid.Width = 50;
    solid.Size = 2;
    solid.NoShade = true;
    Add(*page, btForms);

    page->Email = "captain@example.com";
    page->FormTitle = "Join us";
    page->Border = true;
    page->FormFooter = true;
    AddField(*page, fkText, "Name", {"Size=30"});
    AddField(*page, fkTextArea, "About you", {"Cols=30", "Rows=3"});
    AddField(*page, fkRadio, "Boat", {"single|Single|Yes", "eight|Eight|No"});
    AddField(*page, fkCheckBox, "Days", {"sat|Saturday|Yes", "sun|Sunday|No"});
    AddField(*page, fkDropDown, "Level", {"new|Beginner", "old|Rower"});
    return page;
}

class PreviewPicturesTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        TWebTheme themes;
        TThemeItem& plain = themes.Items().Add();
        plain.ThemeName = "Default";
        plain.LeftMargin = "0";
        plain.BGColor = RGB(255, 255, 255);
        plain.LinkColor = RGB(0, 0, 255);
        plain.ALinkColor = RGB(255, 0, 0);
        plain.VLinkColor = RGB(153, 0, 153);
        TThemeItem& parchment = themes.Items().Add();
        parchment.ThemeName = "Parchment";
        parchment.BGImage = "paper.png";
        parchment.LeftMargin = "40";
        parchment.BGColor = RGB(250, 240, 215);
        parchment.TextColor = RGB(70, 40, 10);
        parchment.LinkColor = RGB(170, 50, 0);
        parchment.ALinkColor = RGB(255, 0, 0);
        parchment.VLinkColor = RGB(120, 60, 0);
        SaveThemes(home, themes);
        MakePictures();
        const std::string path = home + "TesselFiles/club.pgx";
        WriteDocumentFile(path, *EveryBlockPage());
        Open({QString::fromStdString(path)});
        F().browser->setFixedSize(kViewSize);
        window->resize(kViewSize.width() + 400, kViewSize.height() + 100);
        window->show();
    }

    // A boat on water for the image block, and a paper grain for the background.
    void MakePictures() {
        QImage boat(160, 100, QImage::Format_RGB32);
        boat.fill(QColor(120, 180, 230));
        QPainter painter(&boat);
        painter.fillRect(0, 70, 160, 30, QColor(30, 90, 160));
        painter.setBrush(QColor(180, 60, 30));
        painter.setPen(Qt::NoPen);
        painter.drawPolygon(QPolygon({{20, 60}, {140, 60}, {120, 75}, {40, 75}}));
        painter.end();
        ASSERT_TRUE(boat.save(QString::fromStdString(home + "Upload/images/boat.png")));
        QImage paper(48, 48, QImage::Format_RGB32);
        paper.fill(QColor(245, 232, 200));
        for (int i = 0; i < 48; i += 6) {
            paper.setPixelColor(i, (i * 7) % 48, QColor(215, 195, 160));
            paper.setPixelColor((i * 5) % 48, i, QColor(225, 205, 170));
        }
        ASSERT_TRUE(paper.save(QString::fromStdString(home + "Upload/backgrounds/paper.png")));
    }

    QImage Preview() {
        QCoreApplication::processEvents();
        return F().browser->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    void ExpectReference(const QImage& shot, const QString& name) {
        const TPictureDifference difference = CompareWithReference(shot, kReferenceFolder + name);
        EXPECT_TRUE(difference.Matches())
            << name.toStdString() << ": " << difference.Describe().toStdString();
    }
};

TEST_F(PreviewPicturesTest, APageWithEveryBlockKindAndAForm) {
    QTest::mouseClick(F().btnPreview, Qt::LeftButton);
    ASSERT_TRUE(F().pnlPreview->isVisible());
    EXPECT_EQ(F().browser->Mapped().controls.size(), 9u);
    ExpectReference(Preview(), QStringLiteral("every-block.png"));
}

TEST_F(PreviewPicturesTest, AThemeWithABackgroundPicture) {
    QTest::mouseClick(F().btnPreview, Qt::LeftButton);
    const QRect row = F().lstThemes->visualItemRect(F().lstThemes->item(1));
    QTest::mouseClick(F().lstThemes->viewport(), Qt::LeftButton, {}, row.center());
    ASSERT_EQ(Page().Items(0).PagePropertiesBlock().ThemeName, "Parchment");
    ExpectReference(Preview(), QStringLiteral("theme-background.png"));
}

TEST(PictureCompareTest, HintingPassesALostRuleOrControlFails) {
    QImage reference(200, 100, QImage::Format_RGB32);
    reference.fill(Qt::white);
    QPainter painter(&reference);
    painter.setPen(Qt::black);
    painter.setFont(QFont(QStringLiteral("Liberation Serif"), 12));
    painter.drawText(10, 20, QStringLiteral("Riverside Rowing Club"));
    painter.fillRect(10, 40, 180, 3, QColor(128, 128, 128));  // a rule
    painter.drawEllipse(20, 60, 12, 12);                      // a radio button
    painter.end();
    EXPECT_TRUE(ComparePictures(reference, reference).Matches());

    // Text drawn a pixel further on, as another hinting might.
    QImage moved(reference.size(), QImage::Format_RGB32);
    moved.fill(Qt::white);
    QPainter(&moved).drawImage(1, 1, reference);
    EXPECT_TRUE(ComparePictures(moved, reference).Matches());

    QImage noRule = reference.copy();
    QPainter(&noRule).fillRect(10, 40, 180, 3, Qt::white);
    EXPECT_FALSE(ComparePictures(noRule, reference).Matches());
    QImage noControl = reference.copy();
    QPainter(&noControl).fillRect(19, 59, 15, 15, Qt::white);
    EXPECT_FALSE(ComparePictures(noControl, reference).Matches());
    QImage otherColour = reference.copy();
    QPainter(&otherColour).fillRect(10, 40, 180, 3, QColor(200, 0, 0));
    EXPECT_FALSE(ComparePictures(otherColour, reference).Matches());
    EXPECT_FALSE(ComparePictures(reference.copy(0, 0, 199, 100), reference).Matches());
}

}  // namespace
}  // namespace tessel
