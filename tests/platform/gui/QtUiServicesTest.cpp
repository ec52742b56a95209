#include "platform/gui/QtUiServices.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include "platform/HelpContexts.h"
#include "platform/gui/HelpViewer.h"
#include "platform/gui/OpenWithShell.h"
#include "platform/gui/ScriptedUiServices.h"

namespace tessel {
namespace {

// Runs `act` on the message box once it is up, from the box's own event loop.
void WhenMessageBoxShows(std::function<void(QMessageBox&)> act) {
    QTimer::singleShot(0, [act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        act(*box);
    });
}

TEST(QtUiServices, MessageBoxShowsKindTitleAndButtonsAndReturnsTheChoice) {
    TQtUiServices ui(QStringLiteral("Brindle HTML Tessel 4.0"));
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    WhenMessageBoxShows([&](QMessageBox& box) {
        caption = box.windowTitle();
        icon = box.icon();
        for (QAbstractButton* button : box.buttons()) {
            buttons << button->text().remove('&');
        }
        box.button(QMessageBox::No)->click();
    });
    TMessage message{TMsgKind::Confirmation, QString(), QStringLiteral("Save?"),
                     mbYes | mbNo | mbCancel, 0};
    EXPECT_EQ(ui.Message(nullptr, message), mbNo);
    EXPECT_EQ(caption, "Brindle HTML Tessel 4.0");
    EXPECT_EQ(icon, QMessageBox::Question);
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({"Cancel", "No", "Yes"}));

    WhenMessageBoxShows([&](QMessageBox& box) {
        caption = box.windowTitle();
        icon = box.icon();
        box.reject();
    });
    message = {TMsgKind::Error, QStringLiteral("Upload"), QStringLiteral("Failed"), mbOK, 0};
    EXPECT_EQ(ui.Message(nullptr, message), mbOK);
    EXPECT_EQ(caption, "Upload");
    EXPECT_EQ(icon, QMessageBox::Critical);
}

TEST(QtUiServices, HelpButtonShowsTheTopicAndLeavesTheBoxOpen) {
    THelpViewer help(QStringLiteral(TESSEL_SOURCE_DATA "/help/"));
    TQtUiServices ui(QStringLiteral("Tessel"));
    ui.SetHelpViewer(&help);
    bool stillOpenAfterHelp = false;
    WhenMessageBoxShows([&](QMessageBox& box) {
        box.button(QMessageBox::Help)->click();
        stillOpenAfterHelp = box.isVisible();
        help.CloseHelp();
        box.button(QMessageBox::Ok)->click();
    });
    const TMessage message{TMsgKind::Information, QString(), QStringLiteral("Saved"), mbOK | mbHelp,
                           kHelpUploadSaved};
    EXPECT_EQ(ui.Message(nullptr, message), mbOK);
    EXPECT_TRUE(stillOpenAfterHelp);
    EXPECT_TRUE(help.Browser()->source().toLocalFile().endsWith("ctx-171.html"));
}

TEST(QtUiServices, BusyCursorNestsAndModalsShowTheArrow) {
    TQtUiServices ui(QStringLiteral("Tessel"));
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    {
        TBusyCursor outer(ui);
        {
            TBusyCursor inner(ui);
            ASSERT_NE(QApplication::overrideCursor(), nullptr);
            EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        Qt::CursorShape duringBox = Qt::WaitCursor;
        WhenMessageBoxShows([&](QMessageBox& box) {
            duringBox = QApplication::overrideCursor()->shape();
            box.accept();
        });
        ui.Message(nullptr, TMessage{});
        EXPECT_EQ(duringBox, Qt::ArrowCursor);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        ui.PushWorkingCursor();
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
        ui.PopBusyCursor();
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ui.PopBusyCursor();  // one too many takes nothing away from anybody else
    QApplication::setOverrideCursor(Qt::CrossCursor);
    ui.PopBusyCursor();
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QApplication::restoreOverrideCursor();
}

TEST(QtUiServices, FileDialogsAreTitledByTheirTaskAndStartInTheirFolder) {
    TQtUiServices ui(QStringLiteral("Brindle HTML Tessel 4.0"));
    QTemporaryDir start;
    ASSERT_TRUE(start.isValid());
    struct TSeen {
        QString title;
        QString folder;
        QStringList filters;
    } seen;
    auto whenShown = [&seen] {
        QTimer::singleShot(0, [&seen] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            seen = {dialog->windowTitle(), dialog->directory().absolutePath(),
                    dialog->nameFilters()};
            dialog->reject();
        });
    };
    TFileDialogRequest request;
    request.folder = start.path();
    request.filter = QStringLiteral("Tessel Files (*.pgx)");
    whenShown();
    EXPECT_EQ(ui.SaveFileName(nullptr, request), std::nullopt);
    EXPECT_EQ(seen.title, "Save As");
    EXPECT_EQ(seen.folder, QDir(start.path()).absolutePath());
    EXPECT_EQ(seen.filters, QStringList{"Tessel Files (*.pgx)"});

    request.filter = QStringLiteral("Images Files (*.gif *.jpg)");
    whenShown();
    EXPECT_EQ(ui.OpenPictureName(nullptr, request), std::nullopt);
    EXPECT_EQ(seen.title, "Open");
    EXPECT_EQ(seen.filters, QStringList{"Images Files (*.gif *.jpg)"});

    // Without a folder of its own, or with one that is not there, a dialog starts at home, not
    // where the program was started.
    request.folder.clear();
    request.title = QStringLiteral("Import");
    whenShown();
    EXPECT_EQ(ui.OpenFileName(nullptr, request), std::nullopt);
    EXPECT_EQ(seen.title, "Import");
    EXPECT_EQ(seen.folder, QDir::home().absolutePath());
    request.folder = start.path() + QStringLiteral("/Favorites");  // not there
    whenShown();
    EXPECT_EQ(ui.OpenFileName(nullptr, request), std::nullopt);
    EXPECT_EQ(seen.folder, QDir::home().absolutePath());
}

TEST(QtUiServices, ExecRunsTheDialogModallyWithTheNormalPointer) {
    TQtUiServices ui(QStringLiteral("Tessel"));
    QDialog dialog;
    bool wasModal = false;
    Qt::CursorShape duringDialog = Qt::WaitCursor;
    QTimer::singleShot(0, &dialog, [&] {
        wasModal = QApplication::activeModalWidget() == &dialog;
        duringDialog = QApplication::overrideCursor()->shape();
        dialog.accept();
    });
    const TBusyCursor busy(ui);
    EXPECT_EQ(ui.Exec(dialog), QDialog::Accepted);
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(duringDialog, Qt::ArrowCursor);
}

// Every dialog run through the services answers F1 with the topic of the control with the
// focus, of the dialog itself when the control has none, and the contents when neither has.
TEST(QtUiServices, F1InAnyDialogShowsTheTopicOfWhereTheFocusIs) {
    THelpViewer help(QStringLiteral(TESSEL_SOURCE_DATA "/help/"));
    TQtUiServices ui(QStringLiteral("Tessel"));
    ui.SetHelpViewer(&help);
    QDialog dialog;
    auto* title = new QLineEdit(&dialog);
    title->setProperty("helpContext", kHelpPageTitle);
    auto* plain = new QLineEdit(&dialog);
    plain->move(0, 40);
    QStringList shown;
    const auto pressF1 = [&](QWidget* control) {
        control->setFocus();
        QTest::keyClick(control, Qt::Key_F1);
        shown << QFileInfo(help.Browser()->source().toLocalFile()).fileName();
        help.CloseHelp();
    };
    QTimer::singleShot(0, &dialog, [&] {
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        pressF1(title);
        pressF1(plain);
        dialog.setProperty("helpContext", kHelpThemeList);
        pressF1(plain);
        dialog.accept();
    });
    EXPECT_EQ(ui.Exec(dialog), QDialog::Accepted);
    EXPECT_EQ(shown, (QStringList{"ctx-10.html", "index.html", "ctx-66.html"}));
    // Run again, the dialog keeps one F1 key: two would cancel each other out.
    QTimer::singleShot(0, &dialog, [&] { dialog.accept(); });
    ui.Exec(dialog);
    EXPECT_EQ(dialog.findChildren<QAction*>().size(), 1);
}

TEST(OpenWithShell, FailureTellsTheUserWhereToTurn) {
    TScriptedUiServices ui;
    EXPECT_TRUE(OpenWithShell(ui, nullptr, QStringLiteral("http://example.com/")));
    EXPECT_TRUE(ui.Messages().empty());

    ui.SetOpenWithDefaultProgramResult(false);
    ui.AnswerMessage(mbOK);
    EXPECT_FALSE(OpenWithShell(ui, nullptr, QStringLiteral("/tmp/page.html")));
    EXPECT_EQ(ui.OpenedWithDefaultProgram(),
              QStringList({"http://example.com/", "/tmp/page.html"}));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].kind, TMsgKind::Information);
    EXPECT_EQ(ui.Messages()[0].buttons, mbOK);
    EXPECT_TRUE(ui.Messages()[0].text.startsWith("Could not load the default client. "));
    EXPECT_TRUE(ui.Messages()[0].text.contains("brindle-software.example"));
}

}  // namespace
}  // namespace tessel
