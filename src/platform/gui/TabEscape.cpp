#include "platform/gui/TabEscape.h"

#include <QKeyEvent>
#include <QPlainTextEdit>

namespace tessel {
namespace {

class TTabEscape : public QObject {
  public:
    explicit TTabEscape(QPlainTextEdit& edit) : QObject(&edit), edit_(edit) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &edit_ || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & Qt::ControlModifier) == 0)
            return false;
        // Shift+Tab arrives as Backtab.
        if (key->key() == Qt::Key_Tab) {
            FocusNext(true);
            return true;
        }
        if (key->key() == Qt::Key_Backtab) {
            FocusNext(false);
            return true;
        }
        return false;
    }

  private:
    void FocusNext(bool forward) {
        QWidget* widget = forward ? edit_.nextInFocusChain() : edit_.previousInFocusChain();
        while (widget != &edit_ && !(widget->isVisible() && widget->isEnabled() &&
                                     (widget->focusPolicy() & Qt::TabFocus) != 0)) {
            widget = forward ? widget->nextInFocusChain() : widget->previousInFocusChain();
        }
        widget->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    }

    QPlainTextEdit& edit_;
};

}  // namespace

void LetCtrlTabLeave(QPlainTextEdit& edit) {
    edit.installEventFilter(new TTabEscape(edit));
}

}  // namespace tessel
