#include "platform/gui/HelpKey.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QWidget>

#include "platform/gui/HelpViewer.h"

namespace tessel {

int HelpContextOf(const QWidget* control) {
    return control == nullptr ? 0 : control->property("helpContext").toInt();
}

void AddHelpKey(QWidget& window, THelpViewer& help) {
    if (window.findChild<QAction*>(QString::fromLatin1(kHelpKeyActionName),
                                   Qt::FindDirectChildrenOnly) != nullptr) {
        return;
    }
    auto* key = new QAction(&window);
    key->setObjectName(QString::fromLatin1(kHelpKeyActionName));
    key->setShortcut(QKeySequence(Qt::Key_F1));
    key->setShortcutContext(Qt::WindowShortcut);
    window.addAction(key);
    QPointer<THelpViewer> viewer(&help);
    QObject::connect(key, &QAction::triggered, &window, [viewer, &window] {
        if (viewer.isNull()) {
            return;
        }
        // A list's or spin box's inner part has the focus; the control around it has the topic.
        for (QWidget* control = QApplication::focusWidget(); control != nullptr;
             control = control->parentWidget()) {
            if (const int context = HelpContextOf(control); context != 0) {
                viewer->ShowTopic(context);
                return;
            }
            if (control == &window) {
                break;
            }
        }
        viewer->ShowContents();
    });
}

}  // namespace tessel
