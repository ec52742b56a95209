#include "platform/gui/HelpViewer.h"

#include <gtest/gtest.h>

#include <QApplication>
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
    EXPECT_FALSE(help.PopUpTopic(999, QPoint(100, 100)));
}

}  // namespace
}  // namespace tessel
