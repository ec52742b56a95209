#include "platform/gui/HelpViewer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTextDocument>
#include <QWhatsThis>

#include "platform/HelpContexts.h"

namespace tessel {
namespace {

const QString kHelpFolder = QStringLiteral(TESSEL_SOURCE_DATA "/help/");

QString PlainText(const QString& html) {
    QTextDocument document;
    document.setHtml(html);
    return document.toPlainText();
}

QWidget* WhatsThisPopUp() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->inherits("QWhatsThat")) {
            return widget;
        }
    }
    return nullptr;
}

TEST(HelpViewer, EveryContextNumberHasARealTopic) {
    const THelpViewer help(kHelpFolder);
    for (const int context : kAllHelpContexts) {
        SCOPED_TRACE(context);
        ASSERT_FALSE(help.TopicPath(context).isEmpty());
        const QString text = PlainText(help.TopicHtml(context));
        EXPECT_GT(text.simplified().size(), 120) << text.toStdString();
        EXPECT_FALSE(text.contains("TODO", Qt::CaseInsensitive));
    }
    EXPECT_TRUE(help.TopicPath(999).isEmpty());
}

TEST(HelpViewer, ContentsLinkEveryTopic) {
    THelpViewer help(kHelpFolder);
    help.ShowContents();
    const QString contents = help.Browser()->toHtml();
    for (const int context : kAllHelpContexts) {
        EXPECT_TRUE(contents.contains(QString::fromStdString(HelpTopicFileName(context))))
            << context;
    }
    help.CloseHelp();
}

// Every link and picture of every help page names a file of the help folder, so no page
// leads nowhere and no screenshot shows as a broken picture.
TEST(HelpViewer, EveryLinkAndPictureOfTheHelpExists) {
    const QDir folder(kHelpFolder);
    const QRegularExpression reference(QStringLiteral("(?:href|src)=\"([^\"#:]+)\""));
    int pictures = 0;
    for (const QString& name : folder.entryList({QStringLiteral("*.html")})) {
        QFile page(folder.filePath(name));
        ASSERT_TRUE(page.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(page.readAll());
        for (const auto& match : reference.globalMatch(html)) {
            const QString target = match.captured(1);
            EXPECT_TRUE(folder.exists(target))
                << name.toStdString() << " -> " << target.toStdString();
            if (target.endsWith(QLatin1String(".png"))) {
                ++pictures;
                EXPECT_FALSE(QImage(folder.filePath(target)).isNull()) << target.toStdString();
            }
        }
    }
    EXPECT_GT(pictures, 5);
}

TEST(HelpViewer, GettingStartedIsLinkedFromTheContentsAndShowsItsPictures) {
    THelpViewer help(kHelpFolder);
    help.ShowContents();
    EXPECT_TRUE(help.Browser()->toHtml().contains(QLatin1String(kHelpGettingStartedFileName)));
    help.ShowGettingStarted();
    EXPECT_TRUE(help.Browser()->source().toLocalFile().endsWith("getting-started.html"));
    const QString text = help.Browser()->toPlainText();
    for (const char* step : {"New", "Page Title", "Heading", "Image", "Paragraph", "View Page",
                             "Save Page", "Send to web", "Use passive mode", "Stop"}) {
        EXPECT_TRUE(text.contains(QLatin1String(step))) << step;
    }
    // The screenshots load from the help folder; a missing one would be a blank box.
    const QVariant picture = help.Browser()->document()->resource(
        QTextDocument::ImageResource, QUrl(QStringLiteral("pictures/main-window.png")));
    EXPECT_FALSE(picture.value<QImage>().isNull() && picture.value<QPixmap>().isNull());
    help.CloseHelp();
}

TEST(HelpViewer, ShowsATopicByNumberAndFallsBackToTheContents) {
    THelpViewer help(kHelpFolder);
    EXPECT_TRUE(help.ShowTopic(kHelpUploadSaved));
    EXPECT_TRUE(help.isVisible());
    EXPECT_TRUE(help.Browser()->source().toLocalFile().endsWith("ctx-171.html"));
    EXPECT_TRUE(help.Browser()->toPlainText().contains("Upload"));
    EXPECT_FALSE(help.ShowTopic(999));
    EXPECT_TRUE(help.Browser()->source().toLocalFile().endsWith("index.html"));
    help.CloseHelp();
    EXPECT_FALSE(help.isVisible());
}

TEST(HelpViewer, WhatsThisPopsUpTheTopicText) {
    const THelpViewer help(kHelpFolder);
    ASSERT_TRUE(help.PopUpTopic(kHelpTrash, QPoint(100, 100)));
    QWidget* popUp = WhatsThisPopUp();
    ASSERT_NE(popUp, nullptr);
    QWhatsThis::hideText();
    // The pop-up cannot reach the help folder: a topic with a screenshot pops up without it,
    // and without its links, but with all of its words.
    ASSERT_TRUE(help.TopicHtml(kHelpThemeList).contains(QLatin1String("<img")));
    const QString popUpHtml = help.PopUpHtml(kHelpThemeList);
    EXPECT_FALSE(popUpHtml.contains(QLatin1String("<img")));
    EXPECT_FALSE(popUpHtml.contains(QLatin1String("index.html")));
    EXPECT_TRUE(PlainText(popUpHtml).contains(QLatin1String("Edit Themes")));
    EXPECT_FALSE(help.PopUpTopic(999, QPoint(100, 100)));
}

}  // namespace
}  // namespace tessel
