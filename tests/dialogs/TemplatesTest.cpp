#include "dialogs/Templates.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>
#include <filesystem>

#include "platform/gui/ChildControl.h"
#include "platform/gui/HtmlView.h"
#include "platform/gui/ScriptedUiServices.h"
#include "support/TempFolder.h"

namespace tessel {
namespace {

using testing::Child;
using testing::TTempFolder;

class TemplateBrowserTest : public ::testing::Test {
  protected:
    TemplateBrowserTest() {
        home.Write("Templates/Home.pgt", "template");
        home.Write("Templates/Home.html", "<html><body>Template home</body></html>");
        home.Write("Templates/Bare.pgt", "template without HTML");
        home.Write("TesselFiles/Home.pgx", "page");
        home.Write("TesselFiles/Home.html", "<html><body>Page home</body></html>");
    }

    QListWidget& List(QDialog& d) { return Child<QListWidget>(d, "lvTemplates"); }
    QString PreviewText(QDialog& d) { return Child<QTextBrowser>(d, "browser").toPlainText(); }
    bool OkEnabled(QDialog& d) { return Child<QPushButton>(d, "btnOK").isEnabled(); }

    // Clicks the item with this caption and icon as the user does.
    void ClickItem(QDialog& d, const QString& caption, TDocumentPlace place) {
        QListWidget& list = List(d);
        for (int i = 0; i < list.count(); ++i) {
            QListWidgetItem* item = list.item(i);
            if (item->text() == caption && item->data(Qt::UserRole).toInt() == place) {
                QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                                  list.visualItemRect(item).center());
                return;
            }
        }
        ADD_FAILURE() << "no item " << caption.toStdString();
    }

    std::string Path(const std::string& name) const { return home.Path() + name; }

    TTempFolder home;
    TScriptedUiServices ui;
};

TEST_F(TemplateBrowserTest, SelectingAnItemChoosesItsDocumentAndPreviewsItsHtml) {
    TfrmTemplates browser(ui, home.Path());
    ui.AnswerExec([&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Templates");
        ASSERT_EQ(List(d).count(), 3);
        EXPECT_EQ(List(d).item(0)->text(), "Bare");
        EXPECT_EQ(List(d).item(2)->text(), "Home");
        EXPECT_FALSE(OkEnabled(d));

        ClickItem(d, "Home", dpPage);
        EXPECT_TRUE(OkEnabled(d));
        EXPECT_EQ(browser.ChosenFile(), Path("TesselFiles/Home.pgx"));
        EXPECT_EQ(PreviewText(d), "Page home");

        // A template without HTML is chosen; the preview keeps what it showed.
        ClickItem(d, "Bare", dpTemplate);
        EXPECT_EQ(browser.ChosenFile(), Path("Templates/Bare.pgt"));
        EXPECT_EQ(PreviewText(d), "Page home");

        ClickItem(d, "Home", dpTemplate);
        EXPECT_EQ(PreviewText(d), "Template home");
        QTest::mouseClick(&Child<QPushButton>(d, "btnOK"), Qt::LeftButton);
    });
    EXPECT_EQ(browser.Run(), QDialog::Accepted);
    EXPECT_EQ(browser.ChosenFile(), Path("Templates/Home.pgt"));
}

// The delivered templates as a new user sees them: each previewed with its theme's
// background and pictures found, and links in the preview go nowhere.
TEST(DeliveredTemplateBrowser, PreviewsEveryDeliveredTemplate) {
    TTempFolder home;
    const std::filesystem::path data(TESSEL_SOURCE_DATA);
    for (const char* folder : {"Templates", "Upload"}) {
        std::filesystem::copy(data / folder, home.Path() + folder,
                              std::filesystem::copy_options::recursive);
    }
    TScriptedUiServices ui;
    TfrmTemplates browser(ui, home.Path());
    auto& list = Child<QListWidget>(browser, "lvTemplates");
    auto& view = Child<THtmlView>(browser, "browser");
    ASSERT_GE(list.count(), 5);
    for (int i = 0; i < list.count(); ++i) {
        SCOPED_TRACE(list.item(i)->text().toStdString());
        list.setCurrentRow(i);
        EXPECT_EQ(browser.PreviewFile(),
                  home.Path() + "Templates/" + list.item(i)->text().toStdString() + ".html");
        EXPECT_FALSE(view.toPlainText().isEmpty());
        for (const THtmlPicture& picture : view.Mapped().pictures) {
            EXPECT_TRUE(std::filesystem::exists(home.Path() + "Templates/" + picture.source))
                << picture.source;
        }
        const std::string background = view.Mapped().background;
        if (!background.empty()) {
            EXPECT_TRUE(std::filesystem::exists(home.Path() + "Templates/" + background));
        }
    }
    const QString before = view.toHtml();
    emit view.anchorClicked(QUrl(QStringLiteral("https://www.example.org/results.html")));
    EXPECT_TRUE(view.source().isEmpty());
    EXPECT_EQ(view.toHtml(), before);
}

TEST_F(TemplateBrowserTest, DoubleClickOpensAndMissingFoldersListNothing) {
    TfrmTemplates browser(ui, home.Path());
    ui.AnswerExec([&](QDialog& d) {
        QListWidget& list = List(d);
        const QPoint at = list.visualItemRect(list.item(0)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
    });
    EXPECT_EQ(browser.Run(), QDialog::Accepted);
    EXPECT_EQ(browser.ChosenFile(), Path("Templates/Bare.pgt"));

    TTempFolder empty;
    TfrmTemplates none(ui, empty.Path());
    EXPECT_EQ(Child<QListWidget>(none, "lvTemplates").count(), 0);
}

TEST_F(TemplateBrowserTest, BrowseChoosesAnyDocumentAndKeepsTheDialogOpen) {
    home.Write("elsewhere/Trip.pgx", "page");
    home.Write("elsewhere/Trip.html", "<p>Trip</p>");
    TfrmTemplates browser(ui, home.Path());
    ui.AnswerExec([&](QDialog& d) {
        ui.AnswerFileDialog(std::nullopt);
        QTest::mouseClick(&Child<QPushButton>(d, "btnOpen"), Qt::LeftButton);
        EXPECT_FALSE(OkEnabled(d));
        ui.AnswerFileDialog(QString::fromStdString(Path("elsewhere/Trip.pgx")));
        QTest::mouseClick(&Child<QPushButton>(d, "btnOpen"), Qt::LeftButton);
        EXPECT_TRUE(d.isVisible());
        EXPECT_TRUE(OkEnabled(d));
        EXPECT_EQ(PreviewText(d), "Trip");
        QTest::mouseClick(&Child<QPushButton>(d, "btnOK"), Qt::LeftButton);
    });
    EXPECT_EQ(browser.Run(), QDialog::Accepted);
    EXPECT_EQ(browser.ChosenFile(), Path("elsewhere/Trip.pgx"));
    ASSERT_EQ(ui.FileDialogs().size(), 2u);
    EXPECT_EQ(ui.FileDialogs()[0].kind, TFileDialogKind::Open);
    EXPECT_EQ(ui.FileDialogs()[0].request.filter, "Tessel Files (*.pgx);;Tessel Template (*.pgt)");
    EXPECT_EQ(ui.FileDialogs()[0].request.folder.toStdString(), Path("TesselFiles/"));
}

TEST_F(TemplateBrowserTest, FocusChoosesNothingAndEnterOpensOnlyAChoice) {
    TfrmTemplates browser(ui, home.Path());
    ui.AnswerExec([&](QDialog& d) {
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        QListWidget& list = List(d);
        ASSERT_TRUE(list.hasFocus());
        EXPECT_FALSE(OkEnabled(d));
        EXPECT_TRUE(browser.ChosenFile().empty());
        QTest::keyClick(&list, Qt::Key_Return);
        ASSERT_TRUE(d.isVisible());

        // An arrow key selects, which is a choice: the next icon, the Home template.
        QTest::keyClick(&list, Qt::Key_Right);
        EXPECT_TRUE(OkEnabled(d));
        QTest::keyClick(&list, Qt::Key_Return);
    });
    EXPECT_EQ(browser.Run(), QDialog::Accepted);
    EXPECT_EQ(browser.ChosenFile(), Path("Templates/Home.pgt"));
}

TEST_F(TemplateBrowserTest, AfterBrowseAClickOnTheItemHighlightedBeforeChoosesIt) {
    home.Write("elsewhere/Trip.pgx", "page");
    TfrmTemplates browser(ui, home.Path());
    ui.AnswerExec([&](QDialog& d) {
        ClickItem(d, "Home", dpPage);
        ui.AnswerFileDialog(QString::fromStdString(Path("elsewhere/Trip.pgx")));
        QTest::mouseClick(&Child<QPushButton>(d, "btnOpen"), Qt::LeftButton);
        EXPECT_EQ(browser.ChosenFile(), Path("elsewhere/Trip.pgx"));
        // Nothing highlighted stands for a document OK would not open.
        EXPECT_TRUE(List(d).selectedItems().isEmpty());
        ClickItem(d, "Home", dpPage);
        EXPECT_EQ(browser.ChosenFile(), Path("TesselFiles/Home.pgx"));
        EXPECT_EQ(PreviewText(d), "Page home");
        QTest::mouseClick(&Child<QPushButton>(d, "btnOK"), Qt::LeftButton);
    });
    EXPECT_EQ(browser.Run(), QDialog::Accepted);
    EXPECT_EQ(browser.ChosenFile(), Path("TesselFiles/Home.pgx"));
}

TEST_F(TemplateBrowserTest, DeleteAsksThenRemovesTheDocumentAndItsHtml) {
    TfrmTemplates browser(ui, home.Path());
    ui.AnswerExec([&](QDialog& d) {
        QTest::mouseClick(&Child<QPushButton>(d, "btnDelete"), Qt::LeftButton);  // no item
        ClickItem(d, "Home", dpTemplate);
        ui.AnswerMessage(mbNo);
        QTest::mouseClick(&Child<QPushButton>(d, "btnDelete"), Qt::LeftButton);
        EXPECT_EQ(List(d).count(), 3);
        EXPECT_TRUE(OkEnabled(d));

        ui.AnswerMessage(mbYes);
        QTest::mouseClick(&Child<QPushButton>(d, "btnDelete"), Qt::LeftButton);
        EXPECT_EQ(List(d).count(), 2);
        EXPECT_FALSE(OkEnabled(d));
        EXPECT_TRUE(PreviewText(d).isEmpty());
        EXPECT_EQ(List(d).currentItem(), nullptr);
        QTest::mouseClick(&Child<QPushButton>(d, "btnCancel"), Qt::LeftButton);
    });
    EXPECT_EQ(browser.Run(), QDialog::Rejected);
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[0].text, "Do you want to delete Home?");
    EXPECT_EQ(ui.Messages()[0].kind, TMsgKind::Confirmation);
    EXPECT_EQ(ui.Beeps(), 2);
    EXPECT_FALSE(std::filesystem::exists(Path("Templates/Home.pgt")));
    EXPECT_FALSE(std::filesystem::exists(Path("Templates/Home.html")));
    EXPECT_TRUE(std::filesystem::exists(Path("TesselFiles/Home.pgx")));
    EXPECT_TRUE(std::filesystem::exists(Path("TesselFiles/Home.html")));
}

TEST_F(TemplateBrowserTest, AFailedDeleteIsReportedAndTheItemKept) {
    TfrmTemplates browser(ui, home.Path());
    ui.AnswerExec([&](QDialog& d) {
        ClickItem(d, "Bare", dpTemplate);
        // The document turns into a folder with content, which cannot be deleted as a file.
        std::filesystem::remove(Path("Templates/Bare.pgt"));
        home.Write("Templates/Bare.pgt/inside", "x");
        ui.AnswerMessage(mbYes);
        ui.AnswerMessage(mbOK);
        QTest::mouseClick(&Child<QPushButton>(d, "btnDelete"), Qt::LeftButton);
        EXPECT_EQ(List(d).count(), 3);
        EXPECT_EQ(List(d).item(0)->text(), "Bare");
        QTest::mouseClick(&Child<QPushButton>(d, "btnCancel"), Qt::LeftButton);
    });
    browser.Run();
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[1].kind, TMsgKind::Error);
    EXPECT_TRUE(ui.Messages()[1].text.startsWith("Unable to delete Bare:\n"));
}

}  // namespace
}  // namespace tessel
