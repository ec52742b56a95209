#include "platform/gui/KeyboardAccess.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QSet>
#include <QTest>
#include <QWidget>

namespace tessel {
namespace {

// The line edit inside a spin box or a combo box is part of that control, not one of its own.
bool IsPartOfAControl(const QWidget& widget, const QWidget& window) {
    for (const QWidget* parent = widget.parentWidget(); parent != nullptr && parent != &window;
         parent = parent->parentWidget()) {
        if (qobject_cast<const QAbstractSpinBox*>(parent) != nullptr ||
            qobject_cast<const QComboBox*>(parent) != nullptr) {
            return true;
        }
    }
    return false;
}

QList<QWidget*> Controls(const QWidget& window) {
    QList<QWidget*> controls;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if ((widget->focusPolicy() & Qt::TabFocus) != 0 && widget->isWindow() == false &&
            !IsPartOfAControl(*widget, window)) {
            controls.append(widget);
        }
    }
    return controls;
}

QString Describe(const QWidget& widget) {
    return widget.objectName().isEmpty() ? QString::fromLatin1(widget.metaObject()->className())
                                         : widget.objectName();
}

bool CanBeTabbedTo(const QWidget& widget) {
    return widget.isVisible() && widget.isEnabled() && (widget.focusPolicy() & Qt::TabFocus) != 0;
}

// The control that a focused widget belongs to.
QWidget* ControlOf(QWidget* focused, const QSet<QWidget*>& controls) {
    for (QWidget* widget = focused; widget != nullptr; widget = widget->parentWidget()) {
        if (controls.contains(widget))
            return widget;
    }
    return focused;
}

// The buttons that Tab treats as one stop, as it treats radio buttons: the arrow keys move
// between them.
QList<QAbstractButton*> ExclusiveGroupOf(QWidget& control) {
    auto* button = qobject_cast<QAbstractButton*>(&control);
    if (button == nullptr)
        return {};
    if (button->group() != nullptr && button->group()->exclusive())
        return button->group()->buttons();
    if (button->autoExclusive() && button->parentWidget() != nullptr) {
        QList<QAbstractButton*> group;
        for (QAbstractButton* sibling :
             button->parentWidget()->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly)) {
            if (sibling->autoExclusive())
                group.append(sibling);
        }
        return group;
    }
    return {};
}

QString TextOf(const QWidget& widget) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget))
        return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(&widget))
        return label->buddy() != nullptr ? label->text() : QString();
    if (const auto* group = qobject_cast<const QGroupBox*>(&widget))
        return group->title();
    return {};
}

// The letter after a single "&", lower case; none for "&&" or no "&".
QChar MnemonicOf(const QString& text) {
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return text[i + 1].toLower();
    }
    return {};
}

}  // namespace

QStringList MnemonicClashes(const QWidget& window) {
    QMap<QChar, QStringList> owners;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        const QChar letter = MnemonicOf(TextOf(*widget));
        if (!letter.isNull() && widget->isVisible())
            owners[letter].append(Describe(*widget));
    }
    QStringList clashes;
    for (auto it = owners.cbegin(); it != owners.cend(); ++it) {
        if (it.value().size() > 1)
            clashes.append(QString(it.key()) + QStringLiteral(": ") + it.value().join(' '));
    }
    return clashes;
}

QStringList UnnamedControls(const QWidget& window) {
    QStringList unnamed;
    for (QWidget* control : Controls(window)) {
        QString name = control->accessibleName();
        if (QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control))
            name = accessible->text(QAccessible::Name);
        // A name of dots or a cross says nothing when it is read out.
        const bool saysSomething =
            std::any_of(name.begin(), name.end(), [](QChar c) { return c.isLetterOrNumber(); }) &&
            name.trimmed().size() > 1;
        if (!saysSomething)
            unnamed.append(Describe(*control));
    }
    return unnamed;
}

QStringList ControlsTabMisses(QWidget& window, QStringList* visited) {
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        return {QStringLiteral("<the window never became active>")};

    const QList<QWidget*> all = Controls(window);
    const QSet<QWidget*> controls(all.begin(), all.end());
    QList<QWidget*> expected;
    for (QWidget* control : all) {
        if (CanBeTabbedTo(*control))
            expected.append(control);
    }
    if (expected.isEmpty())
        return {};

    QWidget* first = nullptr;
    for (QWidget* widget = window.nextInFocusChain(); widget != &window;
         widget = widget->nextInFocusChain()) {
        if (controls.contains(widget) && CanBeTabbedTo(*widget)) {
            first = widget;
            break;
        }
    }
    first->setFocus(Qt::TabFocusReason);
    QSet<QWidget*> reached{first};
    if (visited != nullptr)
        visited->append(Describe(*first));
    // Generous: a browser or list may take a few presses for its links or items.
    for (int press = 0; press < 4 * expected.size() + 10; ++press) {
        QWidget* focused = QApplication::focusWidget();
        if (focused == nullptr)
            break;
        QTest::keyClick(focused, Qt::Key_Tab);
        // A text box that keeps Tab for its text lets the focus go on with Ctrl+Tab.
        if (QApplication::focusWidget() == focused)
            QTest::keyClick(focused, Qt::Key_Tab, Qt::ControlModifier);
        QWidget* now = ControlOf(QApplication::focusWidget(), controls);
        if (now == first)
            break;
        if (now != nullptr && !reached.contains(now)) {
            reached.insert(now);
            if (visited != nullptr)
                visited->append(Describe(*now));
        }
    }

    QStringList misses;
    for (QWidget* control : expected) {
        const QList<QAbstractButton*> group = ExclusiveGroupOf(*control);
        const bool groupReached = std::any_of(
            group.begin(), group.end(), [&](QAbstractButton* b) { return reached.contains(b); });
        if (!reached.contains(control) && !groupReached)
            misses.append(Describe(*control));
    }
    return misses;
}

}  // namespace tessel
