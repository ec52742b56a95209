#pragma once

// Adding e-mail form fields as a user does: the forms panel's Add menu, then the field
// editor filled through its controls and closed with OK.

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "app/Main.h"
#include "formfields/FormFields.h"
#include "platform/gui/ScriptedUiServices.h"
#include "ui_FormFields.h"
#include "ui_Main.h"

namespace tessel::test {

// The Add menu's item for `kind`.
inline QAction* AddFieldItem(TfrmMain& window, TFieldKind kind) {
    return window.PopForms()->findChild<QAction*>(QStringLiteral("popFormsAdd%1").arg(kind));
}

// Adds a field of `kind` named `name`; `fill` acts on the editor before OK.
inline void AddField(TScriptedUiServices& ui, TfrmMain& window, TFieldKind kind,
                     const QString& name, const std::function<void(Ui::TfrmFields&)>& fill = {}) {
    ui.AnswerExec([=](QDialog& dialog) {
        Ui::TfrmFields& e = static_cast<TfrmFields&>(dialog).Form();
        e.txtName->clear();
        QTest::keyClicks(e.txtName, name);
        if (fill)
            fill(e);
        QTest::mouseClick(e.btnOK, Qt::LeftButton);
    });
    QTest::mouseClick(window.Form().btnFormAdd, Qt::LeftButton);
    window.PopForms()->hide();
    AddFieldItem(window, kind)->trigger();
}

// Adds one choice of a radio, check box or drop-down field in its editor.
inline void AddChoice(Ui::TfrmFields& e, const QString& value, const QString& text, bool ticked) {
    QTest::mouseClick(e.btnAdd, Qt::LeftButton);
    QTest::keyClicks(e.txtDropValue, value);
    QTest::keyClicks(e.txtDropText, text);
    if (ticked)
        QTest::mouseClick(e.chkCheck, Qt::LeftButton, {}, QPoint(8, e.chkCheck->height() / 2));
    QTest::mouseClick(e.btnDropApply, Qt::LeftButton);
}

}  // namespace tessel::test
