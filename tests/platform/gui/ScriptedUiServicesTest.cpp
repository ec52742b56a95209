#include "platform/gui/ScriptedUiServices.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QDialog>
#include <QPushButton>

namespace tessel {
namespace {

TMessage Confirmation(const QString& text) {
    return {TMsgKind::Confirmation, QString(), text, mbYes | mbNo | mbCancel, 171};
}

TFileDialogRequest Titled(const QString& title) {
    TFileDialogRequest request;
    request.title = title;
    return request;
}

TEST(ScriptedUiServices, AnswersMessagesInOrderAndRecordsThem) {
    TScriptedUiServices ui;
    ui.AnswerMessage(mbNo);
    ui.AnswerMessage(mbCancel);
    EXPECT_EQ(ui.Message(nullptr, Confirmation("first")), mbNo);
    EXPECT_EQ(ui.Message(nullptr, Confirmation("second")), mbCancel);
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[1].text, "second");
    EXPECT_EQ(ui.Messages()[1].kind, TMsgKind::Confirmation);
    EXPECT_EQ(ui.Messages()[1].buttons, mbYes | mbNo | mbCancel);
    EXPECT_EQ(ui.Messages()[1].helpContext, 171);
}

TEST(ScriptedUiServices, UnansweredModalInteractionsFailTheTest) {
    EXPECT_NONFATAL_FAILURE(
        {
            TScriptedUiServices ui;
            ui.Message(nullptr, Confirmation("nobody expects this"));
        },
        "nobody expects this");
    EXPECT_NONFATAL_FAILURE(
        {
            TScriptedUiServices ui;
            EXPECT_FALSE(ui.SaveFileName(nullptr, Titled("Save Page")).has_value());
        },
        "Save Page");
    EXPECT_NONFATAL_FAILURE(
        {
            TScriptedUiServices ui;
            QDialog dialog;
            dialog.setObjectName(QStringLiteral("frmMisc"));
            EXPECT_EQ(ui.Exec(dialog), QDialog::Rejected);
        },
        "frmMisc");
}

TEST(ScriptedUiServices, LeftoverAnswersAndAnUnrestoredCursorFailTheTest) {
    EXPECT_NONFATAL_FAILURE(
        {
            TScriptedUiServices ui;
            ui.AnswerMessage(mbOK);
        },
        "message answers unused");
    EXPECT_NONFATAL_FAILURE(
        {
            TScriptedUiServices ui;
            ui.PushBusyCursor();
        },
        "busy cursor was not restored");
    EXPECT_NONFATAL_FAILURE(
        {
            TScriptedUiServices ui;
            ui.PopBusyCursor();
        },
        "more often than set");
}

TEST(ScriptedUiServices, FileDialogsTakeTheirAnswersFromOneQueue) {
    TScriptedUiServices ui;
    ui.AnswerFileDialog(QStringLiteral("/tmp/a.pgx"));
    ui.AnswerFileDialog(std::nullopt);
    EXPECT_EQ(ui.SaveFileName(nullptr, Titled("Save")), QStringLiteral("/tmp/a.pgx"));
    EXPECT_EQ(ui.OpenPictureName(nullptr, Titled("Picture")), std::nullopt);
    ASSERT_EQ(ui.FileDialogs().size(), 2u);
    EXPECT_EQ(ui.FileDialogs()[0].kind, TFileDialogKind::Save);
    EXPECT_EQ(ui.FileDialogs()[1].kind, TFileDialogKind::Picture);
    EXPECT_EQ(ui.FileDialogs()[1].request.title, "Picture");
}

TEST(ScriptedUiServices, ExecRunsTheScriptOnTheRealDialog) {
    TScriptedUiServices ui;
    QDialog dialog;
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    bool visibleDuringScript = false;
    ui.AnswerExec([&](QDialog& shown) {
        visibleDuringScript = shown.isVisible();
        ok->click();
    });
    ui.AnswerExec([](QDialog& shown) { shown.reject(); });
    EXPECT_EQ(ui.Exec(dialog), QDialog::Accepted);
    EXPECT_TRUE(visibleDuringScript);
    EXPECT_EQ(ui.Exec(dialog), QDialog::Rejected);
    EXPECT_EQ(ui.ExecutedDialogs(), QStringList({"QDialog", "QDialog"}));
}

TEST(ScriptedUiServices, ADialogLeftOpenByTheScriptFails) {
    EXPECT_NONFATAL_FAILURE(
        {
            TScriptedUiServices ui;
            QDialog dialog;
            ui.AnswerExec([](QDialog&) {});
            EXPECT_EQ(ui.Exec(dialog), QDialog::Rejected);
            EXPECT_FALSE(dialog.isVisible());
        },
        "left the dialog open");
}

TEST(ScriptedUiServices, BusyCursorGuardNestsAndIsSeenByModals) {
    TScriptedUiServices ui;
    {
        TBusyCursor outer(ui);
        TBusyCursor inner(ui);
        EXPECT_EQ(ui.BusyDepth(), 2);
        ui.AnswerMessage(mbOK);
        ui.Message(nullptr, {});
        EXPECT_EQ(ui.BusyDepthAtLastModal(), 2);
    }
    EXPECT_EQ(ui.BusyDepth(), 0);
    EXPECT_EQ(ui.BusyPushes(), 2);
}

}  // namespace
}  // namespace tessel
