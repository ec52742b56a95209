#include "platform/gui/HtmlView.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <fstream>

#include "platform/gui/HtmlPictures.h"
#include "platform/gui/HtmlShownText.h"

namespace tessel {
namespace {

QImage Resource(THtmlView& view, const char* prefix, int index) {
    return view.document()
        ->resource(QTextDocument::ImageResource,
                   QUrl(QString::fromLatin1(prefix) + QString::number(index)))
        .value<QImage>();
}

// The character format of the first fragment that holds `text`.
QTextCharFormat FormatOf(const QTextDocument& document, const QString& text) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().text().contains(text))
                return it.fragment().charFormat();
        }
    }
    ADD_FAILURE() << "no fragment holds " << text.toStdString();
    return {};
}

// A view of a known size, laid out and painted, as the user sees it.
QImage Shot(THtmlView& view, int width = 400) {
    view.resize(width, 300);
    view.show();
    QCoreApplication::processEvents();
    return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool Near(QColor a, QColor b, int tolerance = 40) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    std::ofstream(path.toStdString(), std::ios::binary).write(bytes.data(), bytes.size());
}

// A 1 x 1 GIF of two frames: red, then blue.
QByteArray TwoFrameGif() {
    QByteArray gif("GIF89a", 6);
    gif += QByteArray::fromHex(
        "01000100"
        "80"
        "0000");  // screen 1 x 1, two global colours
    gif += QByteArray::fromHex(
        "FF0000"
        "0000FF");
    gif += QByteArray::fromHex(
        "2C"
        "00000000"
        "01000100"
        "00"
        "02024401"
        "00");  // index 0
    gif += QByteArray::fromHex(
        "21F904"
        "0000000000");  // a graphic control block
    gif += QByteArray::fromHex(
        "2C"
        "00000000"
        "01000100"
        "00"
        "02024C01"
        "00");  // index 1
    gif += QByteArray::fromHex("3B");
    return gif;
}

class HtmlViewTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    QString Path(const QString& name) const { return folder.path() + QLatin1Char('/') + name; }
    void WritePicture(const QString& name, const char* format, QColor color) {
        QImage image(8, 6, QImage::Format_RGB32);
        image.fill(color);
        QImageWriter writer(Path(name), format);
        ASSERT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    }

    QTemporaryDir folder;
    THtmlView view;
};

TEST_F(HtmlViewTest, TextIsDecodedByTheCharsetThePageDeclares) {
    view.LoadText(
        "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
        "charset=windows-1252\"></HEAD><BODY>caf\xE9 \x80</BODY></HTML>");
    EXPECT_EQ(view.toPlainText().trimmed(), QStringLiteral(u"café €"));
    view.LoadLines({"<HTML><HEAD>",
                    "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">",
                    "</HEAD><BODY>caf\xC3\xA9</BODY></HTML>"});
    EXPECT_EQ(view.toPlainText().trimmed(), QStringLiteral(u"café"));
    // No declaration: bytes that are no UTF-8 are windows-1252.
    view.LoadLines({"<BODY>na\xEFve</BODY>"});
    EXPECT_EQ(view.toPlainText().trimmed(), QStringLiteral(u"naïve"));
}

TEST_F(HtmlViewTest, BodyTextAndLinkColoursReachTheText) {
    view.LoadLines(
        {"<BODY BGCOLOR=\"#000080\" TEXT=\"#FFFF00\" LINK=\"#00FF00\" VLINK=\"#FF00FF\">",
         "Plain words <A HREF=\"x.html\">a link</A> <FONT COLOR=\"#FF0000\">red</FONT>",
         "</BODY>"});
    EXPECT_EQ(FormatOf(*view.document(), "Plain").foreground().color(), QColor(255, 255, 0));
    EXPECT_EQ(FormatOf(*view.document(), "a link").foreground().color(), QColor(0, 255, 0));
    EXPECT_EQ(FormatOf(*view.document(), "red").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(view.document()->rootFrame()->frameFormat().background().color(), QColor(0, 0, 128));
}

TEST_F(HtmlViewTest, RulesAreDrawnAtTheirWidthSizeAndShade) {
    view.LoadLines({"<BODY BGCOLOR=\"#FFFFFF\">", "<HR WIDTH=\"50%\" SIZE=\"9\" NOSHADE>",
                    "<HR WIDTH=\"120\" SIZE=\"6\">", "</BODY>"});
    const QImage shot = Shot(view);
    // The solid bar: rows of grey that are half the text width wide, nine rows high.
    int barRows = 0;
    int barWidth = 0;
    int grooveRow = -1;
    int grooveWidth = 0;
    for (int y = 0; y < shot.height(); ++y) {
        int grey = 0;
        for (int x = 0; x < shot.width(); ++x) {
            if (Near(shot.pixelColor(x, y), QColor(128, 128, 128), 8))
                ++grey;
        }
        if (grey > 150) {
            ++barRows;
            barWidth = grey;
        } else if (barRows > 0 && grey > 100 && grooveRow < 0) {
            grooveRow = y;
            grooveWidth = grey;
        }
    }
    const int textWidth = view.viewport()->width() - 2 * view.document()->documentMargin();
    EXPECT_EQ(barRows, 9);
    EXPECT_NEAR(barWidth, textWidth / 2, 2);
    // The shaded rule's top edge is one grey line of its width.
    EXPECT_GT(grooveRow, 0);
    EXPECT_NEAR(grooveWidth, 120, 1);
}

TEST_F(HtmlViewTest, ARuleOfARightAlignedBlockIsCentredAsInABrowser) {
    // A browser's HR ends the paragraph it stands in, so the paragraph's alignment is lost.
    view.LoadLines({"<BODY BGCOLOR=\"#FFFFFF\">",
                    "<P ALIGN=\"RIGHT\"><HR WIDTH=\"50%\" SIZE=\"6\" NOSHADE></P><P>", "</BODY>"});
    const QImage shot = Shot(view);
    int left = -1;
    int right = -1;
    for (int y = 0; y < shot.height() && left < 0; ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (Near(shot.pixelColor(x, y), QColor(128, 128, 128), 8)) {
                if (left < 0)
                    left = x;
                right = x;
            }
        }
    }
    const int margin = view.document()->documentMargin();
    const int textWidth = view.viewport()->width() - 2 * margin;
    ASSERT_GT(left, 0);
    EXPECT_NEAR(left - margin, textWidth / 4, 3);
    EXPECT_NEAR(right - margin, textWidth * 3 / 4, 3);
}

TEST_F(HtmlViewTest, ARuleInTheMarginTableTakesItsShareOfTheCell) {
    view.LoadLines({"<BODY BGCOLOR=\"#FFFFFF\">",
                    "<TABLE WIDTH=\"600\" BORDER=\"0\" CELLPADDING=\"0\" CELLSPACING=\"0\">",
                    "<TR><TD WIDTH=\"40\">&nbsp;</TD>", "<TD VALIGN=\"TOP\" WIDTH=\"560\">",
                    "<HR WIDTH=\"50%\" SIZE=\"4\" NOSHADE>", "</TD></TR></TABLE>", "</BODY>"});
    const QImage shot = Shot(view, 720);
    int widest = 0;
    int left = -1;
    for (int y = 0; y < shot.height(); ++y) {
        int grey = 0;
        for (int x = 0; x < shot.width(); ++x) {
            if (Near(shot.pixelColor(x, y), QColor(128, 128, 128), 8)) {
                if (grey++ == 0 && left < 0)
                    left = x;
            }
        }
        widest = std::max(widest, grey);
    }
    EXPECT_NEAR(widest, 280, 2);    // half of the 560-pixel cell, not of the window
    EXPECT_GT(left, 40 + 140 - 3);  // centred in the cell, right of the margin
    EXPECT_LT(left, 40 + 140 + 8);
}

TEST_F(HtmlViewTest, EveryFormControlIsAPictureOfItsSize) {
    view.LoadLines(
        {"<FORM ACTION=\"x\"><INPUT TYPE=\"HIDDEN\" NAME=\"a\" VALUE=\"b\">",
         "<INPUT NAME=\"n\" VALUE=\"Ann\" SIZE=\"10\"><INPUT NAME=\"m\" SIZE=\"30\">",
         "<INPUT TYPE=\"password\"><INPUT TYPE=\"Radio\" CHECKED><INPUT TYPE=\"CheckBox\">",
         "<TEXTAREA COLS=\"40\" ROWS=\"5\"></TEXTAREA><TEXTAREA COLS=\"40\" ROWS=\"2\"></TEXTAREA>",
         "<SELECT><OPTION>Select<OPTION>A much longer option</SELECT>",
         "<INPUT TYPE=\"SUBMIT\"><INPUT TYPE=\"RESET\"></FORM>"});
    ASSERT_EQ(view.Mapped().controls.size(), 10u);
    std::vector<QImage> controls;
    for (int i = 0; i < 10; ++i) {
        controls.push_back(Resource(view, kMappedControlPrefix, i));
        ASSERT_FALSE(controls.back().isNull()) << i;
        // Something is drawn: not one colour all over.
        const QColor corner = controls.back().pixelColor(0, 0);
        bool drawn = false;
        for (int y = 0; y < controls.back().height() && !drawn; ++y) {
            for (int x = 0; x < controls.back().width() && !drawn; ++x)
                drawn = controls.back().pixelColor(x, y) != corner;
        }
        EXPECT_TRUE(drawn) << i;
    }
    EXPECT_GT(controls[1].width(), 2 * controls[0].width());  // SIZE 30 against 10
    EXPECT_EQ(controls[0].height(), controls[1].height());
    EXPECT_LT(controls[3].width(), 20);                              // a radio button
    EXPECT_GT(controls[5].height(), 2 * controls[6].height() - 12);  // five rows against two
    EXPECT_GT(controls[7].width(), controls[0].width());  // the longest option sets the width
    EXPECT_NE(controls[3], Resource(view, kMappedControlPrefix, 4));
}

TEST_F(HtmlViewTest, PicturesOfEveryFormatLoadGifsShowTheirFirstFrame) {
    WriteBytes(Path("anim.gif"), TwoFrameGif());
    WritePicture("photo.jpg", "jpeg", QColor(0, 160, 0));
    WritePicture("old.bmp", "bmp", QColor(0, 0, 200));
    WritePicture("new.png", "png", QColor(200, 0, 200));
    view.SetServerRoot(folder.path());
    view.LoadLines({"<IMG SRC=\"anim.gif\"><IMG SRC=\"" + Path("photo.jpg").toStdString() +
                    "\"><IMG SRC=\"/old.bmp\"><IMG SRC=\"NEW.PNG\" WIDTH=\"16\">"});
    EXPECT_EQ(Resource(view, kMappedPicturePrefix, 0).pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_TRUE(Near(Resource(view, kMappedPicturePrefix, 1).pixelColor(4, 3), QColor(0, 160, 0)));
    EXPECT_EQ(Resource(view, kMappedPicturePrefix, 2).pixelColor(4, 3), QColor(0, 0, 200));
    // The letter case of a name does not matter; one size given keeps the proportions.
    const QImage png = Resource(view, kMappedPicturePrefix, 3);
    EXPECT_EQ(png.size(), QSize(16, 12));
    EXPECT_EQ(png.pixelColor(8, 6), QColor(200, 0, 200));
}

TEST_F(HtmlViewTest, AMissingPictureShowsItsAltTextInAFrameOfItsSize) {
    view.LoadLines(
        {"<BODY TEXT=\"#000000\"><IMG SRC=\"/nowhere/gone.gif\" ALT=\"Our logo\" "
         "HEIGHT=\"50\" WIDTH=\"120\"><IMG SRC=\"\" ALT=\"x\"></BODY>"});
    const QImage frame = Resource(view, kMappedPicturePrefix, 0);
    ASSERT_EQ(frame.size(), QSize(120, 50));
    EXPECT_TRUE(Near(frame.pixelColor(60, 0), QColor(128, 128, 128), 0));  // the frame's top
    int dark = 0;
    for (int y = 2; y < 48; ++y) {
        for (int x = 2; x < 118; ++x)
            dark += frame.pixelColor(x, y).alpha() > 128 && frame.pixelColor(x, y).value() < 100;
    }
    EXPECT_GT(dark, 20);  // the words
    EXPECT_FALSE(Resource(view, kMappedPicturePrefix, 1).isNull());
}

TEST_F(HtmlViewTest, ABorderTakesTheLinkColourInALinkAndTheTextColourOutside) {
    WritePicture("p.png", "png", QColor(255, 255, 255));
    view.SetServerRoot(folder.path());
    view.LoadLines(
        {"<BODY TEXT=\"#102030\" LINK=\"#00C000\"><A HREF=\"x\"><IMG SRC=\"p.png\" "
         "BORDER=3></A><IMG SRC=\"p.png\" BORDER=2><IMG SRC=\"p.png\" BORDER=0></BODY>"});
    const QImage linked = Resource(view, kMappedPicturePrefix, 0);
    ASSERT_EQ(linked.size(), QSize(14, 12));
    EXPECT_EQ(linked.pixelColor(1, 1), QColor(0, 192, 0));
    EXPECT_EQ(linked.pixelColor(7, 6), QColor(255, 255, 255));
    const QImage plain = Resource(view, kMappedPicturePrefix, 1);
    ASSERT_EQ(plain.size(), QSize(12, 10));
    EXPECT_EQ(plain.pixelColor(0, 0), QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(Resource(view, kMappedPicturePrefix, 2).size(), QSize(8, 6));
}

TEST_F(HtmlViewTest, TheBackgroundPictureTilesThePageOverItsColour) {
    QImage tile(4, 4, QImage::Format_ARGB32);
    tile.fill(Qt::transparent);
    tile.setPixelColor(0, 0, QColor(255, 0, 0));
    ASSERT_TRUE(tile.save(Path("tile.png")));
    view.SetServerRoot(folder.path());
    view.LoadLines({"<BODY BGCOLOR=\"#0000FF\" BACKGROUND=\"tile.png\">words</BODY>"});
    const QBrush brush = view.document()->rootFrame()->frameFormat().background();
    ASSERT_EQ(brush.style(), Qt::TexturePattern);
    const QImage laid = brush.textureImage();
    EXPECT_EQ(laid.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(laid.pixelColor(1, 1), QColor(0, 0, 255));  // the colour shows through
    const QImage shot = Shot(view);
    EXPECT_EQ(shot.pixelColor(200, 250), QColor(0, 0, 255));
}

TEST_F(HtmlViewTest, ALinkClickIsReportedAndAHandledOneDoesNothingElse) {
    view.LoadLines({"<BODY><A HREF=\"http://127.0.0.2/page.html\">go there</A>",
                    "<P>filler</P><P>filler</P><A NAME=\"end\"></A>end</BODY>"});
    Shot(view);
    const QString before = view.toHtml();
    bool handleIt = true;
    QList<QUrl> clicked;
    QObject::connect(&view, &THtmlView::HotSpotClick, [&](const QUrl& url, bool* handled) {
        clicked << url;
        *handled = handleIt;
    });
    QTextCursor cursor(view.document());
    cursor.setPosition(3);
    const QPoint link = view.cursorRect(cursor).center();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, link);
    ASSERT_EQ(clicked.size(), 1);
    EXPECT_EQ(clicked[0], QUrl(QStringLiteral("http://127.0.0.2/page.html")));
    EXPECT_EQ(view.toHtml(), before);
    EXPECT_TRUE(view.source().isEmpty());
    // Unhandled, a link to another page still goes nowhere.
    handleIt = false;
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, link);
    EXPECT_EQ(clicked.size(), 2);
    EXPECT_EQ(view.toHtml(), before);
}

TEST_F(HtmlViewTest, AnUnhandledLinkToAnAnchorOfThePageScrollsToIt) {
    std::vector<std::string> lines = {"<BODY><A HREF=\"#end\">to the end</A>"};
    for (int i = 0; i < 60; ++i) lines.push_back("<P>filler</P>");
    lines.push_back("<A NAME=\"end\"></A>the end</BODY>");
    view.LoadLines(lines);
    Shot(view);
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    ASSERT_GT(view.verticalScrollBar()->value(), 0);
    view.LoadLines(lines);
    ASSERT_EQ(view.verticalScrollBar()->value(), 0);  // a new page shows its top
    QTextCursor cursor(view.document());
    cursor.setPosition(3);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.cursorRect(cursor).center());
    EXPECT_GT(view.verticalScrollBar()->value(), 0);
    EXPECT_TRUE(view.source().isEmpty());
}

TEST_F(HtmlViewTest, FontsClearAndServerRoot) {
    EXPECT_EQ(view.DefaultFont(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(view.DefaultFixedFont(), QStringLiteral("Courier New"));
    view.SetDefaultFont(QStringLiteral("Arial"));
    view.SetDefaultFixedFont(QStringLiteral("Liberation Mono"));
    view.LoadLines({"<BODY>plain <TT>fixed</TT></BODY>"});
    EXPECT_EQ(FormatOf(*view.document(), "plain").font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(FormatOf(*view.document(), "fixed").font().family(),
              QStringLiteral("Liberation Mono"));
    view.SetServerRoot(folder.path());
    EXPECT_EQ(view.ServerRoot(), folder.path());
    view.Clear();
    EXPECT_TRUE(view.toPlainText().isEmpty());
    EXPECT_TRUE(view.Mapped().html.empty());
}

TEST_F(HtmlViewTest, BulletsTakeThePagesTextColour) {
    // Also after a page in other colours, as when a theme is clicked.
    view.LoadLines({"<BODY><UL><LI>xxxxxxxx</UL></BODY>"});
    Shot(view);
    view.LoadLines({"<BODY BGCOLOR=\"#000000\" TEXT=\"#FFFF00\"><UL><LI>xxxxxxxx</UL></BODY>"});
    const QImage shot = Shot(view);
    QTextCursor cursor(view.document());
    const int textLeft = view.cursorRect(cursor).left();
    int yellow = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < textLeft - 1; ++x)
            yellow += Near(shot.pixelColor(x, y), QColor(255, 255, 0), 60);
    }
    EXPECT_GT(yellow, 4);
}

TEST_F(HtmlViewTest, ShownTextHoldsWordsNumbersControlsAndTheAltTextOfMissingPictures) {
    WritePicture("here.png", "png", QColor(0, 0, 200));
    view.SetServerRoot(folder.path());
    view.LoadLines(
        {"<BODY>Open 8 < 10.<BR>next", "<OL TYPE=\"A\"><LI>first<LI>second</OL>",
         "<UL><LI>dot</UL><IMG SRC=\"here.png\" ALT=\"not shown\">",
         "<IMG SRC=\"gone.gif\" ALT=\"Our logo\"><INPUT VALUE=\"Ann\">",
         "<INPUT TYPE=password VALUE=\"abc\"><INPUT TYPE=SUBMIT><INPUT TYPE=radio>",
         "<SELECT><OPTION>a<OPTION SELECTED>b</SELECT><TEXTAREA>hi</TEXTAREA>&nbsp;end"});
    EXPECT_EQ(
        HtmlShownText(view).simplified(),
        QStringLiteral(u"Open 8 < 10. next A. first B. second dot Our logo Ann \u2022\u2022\u2022 "
                       u"Submit Query b hi end"));
}

TEST_F(HtmlViewTest, HugeSizesAreClampedWhenDrawnAndNoPictureHoldsMillionsOfPixels) {
    QImage large(3000, 2000, QImage::Format_RGB32);
    large.fill(QColor(0, 128, 0));
    ASSERT_TRUE(large.save(Path("large.png")));
    WritePicture("p.png", "png", QColor(0, 128, 0));
    view.SetServerRoot(folder.path());
    view.LoadLines({"<BODY><TEXTAREA COLS=\"3000\" ROWS=\"3000\"></TEXTAREA>",
                    "<TEXTAREA COLS=\"999999999\" ROWS=\"999999999\"></TEXTAREA>",
                    "<INPUT SIZE=\"999999999\"><IMG SRC=\"p.png\" WIDTH=\"100000\">",
                    "<IMG SRC=\"p.png\" WIDTH=\"999999999\" HEIGHT=\"999999999\" BORDER=999999999>",
                    "<IMG SRC=\"gone.gif\" ALT=\"x\" WIDTH=\"999999999\" HEIGHT=\"9999999999\">",
                    "<IMG SRC=\"large.png\"><HR WIDTH=\"999999999\" SIZE=\"999999999\">",
                    "<HR WIDTH=\"999999999%\" SIZE=\"9\"></BODY>"});
    std::vector<QImage> drawn;
    for (size_t i = 0; i < view.Mapped().controls.size(); ++i)
        drawn.push_back(Resource(view, kMappedControlPrefix, static_cast<int>(i)));
    for (size_t i = 0; i < view.Mapped().pictures.size(); ++i)
        drawn.push_back(Resource(view, kMappedPicturePrefix, static_cast<int>(i)));
    ASSERT_EQ(drawn.size(), 7u);
    for (const QImage& image : drawn) {
        ASSERT_FALSE(image.isNull());
        EXPECT_LE(qint64{image.width()} * image.height(), kLargestPicturePixels);
        EXPECT_LE(image.deviceIndependentSize().width(), kLargestSide);
        EXPECT_LE(image.deviceIndependentSize().height(), kLargestSide);
    }
    // Laid out at the sizes asked for, as far as the clamp allows.
    EXPECT_NEAR(drawn[0].deviceIndependentSize().width(), kLargestSide, 1);
    EXPECT_NEAR(drawn[3].deviceIndependentSize().width(), kLargestSide, 1);
    EXPECT_NEAR(drawn[6].deviceIndependentSize().width(), 3000, 1);  // a large file's own size
    EXPECT_NEAR(drawn[6].deviceIndependentSize().height(), 2000, 1);
    Shot(view);
    EXPECT_LT(view.document()->size().height(), 8 * kLargestSide);
    EXPECT_LT(view.document()->size().width(), 8 * kLargestSide);
}

}  // namespace
}  // namespace tessel
