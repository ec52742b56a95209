#include "platform/gui/ScriptedUiServices.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>

namespace tessel {

TScriptedUiServices::~TScriptedUiServices() {
    EXPECT_TRUE(messageAnswers_.empty()) << messageAnswers_.size() << " message answers unused";
    EXPECT_TRUE(fileAnswers_.empty()) << fileAnswers_.size() << " file dialog answers unused";
    EXPECT_TRUE(dialogScripts_.empty()) << dialogScripts_.size() << " dialog scripts unused";
    EXPECT_TRUE(dragScripts_.empty()) << dragScripts_.size() << " drag scripts unused";
    EXPECT_EQ(busyDepth_, 0) << "the busy cursor was not restored";
}

void TScriptedUiServices::DiscardAnswers() {
    messageAnswers_.clear();
    fileAnswers_.clear();
    dialogScripts_.clear();
    dragScripts_.clear();
}

TMsgButton TScriptedUiServices::Message(QWidget*, const TMessage& message) {
    messages_.push_back(
        {message.kind, message.caption, message.text, message.buttons, message.helpContext});
    busyDepthAtModal_ = busyDepth_;
    if (messageAnswers_.empty()) {
        ADD_FAILURE() << "message box without a scripted answer: " << message.text.toStdString();
        return (message.buttons & mbCancel) ? mbCancel : mbOK;
    }
    const TMsgButton answer = messageAnswers_.front();
    messageAnswers_.pop_front();
    EXPECT_TRUE(message.buttons & answer)
        << "scripted answer " << answer << " is not a button of: " << message.text.toStdString();
    return answer;
}

std::optional<QString> TScriptedUiServices::OpenFileName(QWidget*,
                                                         const TFileDialogRequest& request) {
    return FileDialog(TFileDialogKind::Open, request);
}

std::optional<QString> TScriptedUiServices::SaveFileName(QWidget*,
                                                         const TFileDialogRequest& request) {
    return FileDialog(TFileDialogKind::Save, request);
}

std::optional<QString> TScriptedUiServices::OpenPictureName(QWidget*,
                                                            const TFileDialogRequest& request) {
    return FileDialog(TFileDialogKind::Picture, request);
}

std::optional<QString> TScriptedUiServices::FileDialog(TFileDialogKind kind,
                                                       const TFileDialogRequest& request) {
    fileDialogs_.push_back({kind, request});
    busyDepthAtModal_ = busyDepth_;
    if (fileAnswers_.empty()) {
        ADD_FAILURE() << "file dialog without a scripted answer: " << request.title.toStdString();
        return std::nullopt;
    }
    std::optional<QString> answer = fileAnswers_.front();
    fileAnswers_.pop_front();
    return answer;
}

bool TScriptedUiServices::OpenWithDefaultProgram(const QString& pathOrUrl) {
    opened_.push_back(pathOrUrl);
    return openSucceeds_;
}

int TScriptedUiServices::Exec(QDialog& dialog) {
    const QString name =
        dialog.objectName().isEmpty() ? dialog.metaObject()->className() : dialog.objectName();
    executedDialogs_.push_back(name);
    busyDepthAtModal_ = busyDepth_;
    if (dialogScripts_.empty()) {
        ADD_FAILURE() << "dialog without a script: " << name.toStdString();
        return QDialog::Rejected;
    }
    const TDialogScript script = std::move(dialogScripts_.front());
    dialogScripts_.pop_front();
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    script(dialog);
    if (dialog.isVisible()) {
        ADD_FAILURE() << "the script left the dialog open: " << name.toStdString();
        dialog.hide();
        return QDialog::Rejected;
    }
    return dialog.result();
}

Qt::DropAction TScriptedUiServices::ExecDrag(QDrag& drag, Qt::DropActions) {
    ++drags_;
    drag.deleteLater();  // as a finished drag is
    if (dragScripts_.empty()) {
        ADD_FAILURE() << "drag without a script";
        return Qt::IgnoreAction;
    }
    const TDragScript script = std::move(dragScripts_.front());
    dragScripts_.pop_front();
    return script(drag);
}

Qt::DropAction TScriptedUiServices::DeliverDrop(QDrag& drag, QWidget& target, QPoint position,
                                                Qt::DropActions actions) {
    QDragEnterEvent enter(position, actions, drag.mimeData(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    if (!enter.isAccepted())
        return Qt::IgnoreAction;
    QDragMoveEvent move(position, actions, drag.mimeData(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &move);
    if (!move.isAccepted()) {
        QDragLeaveEvent leave;
        QApplication::sendEvent(&target, &leave);
        return Qt::IgnoreAction;
    }
    QDropEvent drop(QPointF(position), actions, drag.mimeData(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

void TScriptedUiServices::PushBusyCursor() {
    ++busyPushes_;
    ++busyDepth_;
    busyShapes_.push_back(Qt::WaitCursor);
}

void TScriptedUiServices::PushWorkingCursor() {
    ++busyPushes_;
    ++busyDepth_;
    busyShapes_.push_back(Qt::BusyCursor);
}

void TScriptedUiServices::PopBusyCursor() {
    if (busyDepth_ == 0) {
        ADD_FAILURE() << "busy cursor restored more often than set";
        return;
    }
    --busyDepth_;
    busyShapes_.pop_back();
}

}  // namespace tessel
