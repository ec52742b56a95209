#include "platform/gui/UpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace tessel {
namespace {

constexpr int kWheelNotch = 120;  // one notch of a common wheel, in eighths of a degree

QToolButton* ArrowButton(QWidget* parent, Qt::ArrowType arrow, const char* name) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    button->setMinimumSize(1, 1);
    return button;
}

}  // namespace

TUpDown::TUpDown(QWidget* parent)
    : QAbstractSlider(parent),
      up_(ArrowButton(this, Qt::UpArrow, "btnUp")),
      down_(ArrowButton(this, Qt::DownArrow, "btnDown")) {
    setOrientation(Qt::Vertical);
    // A click on an arrow gives the control the focus, so the keys work after it.
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    connect(up_, &QToolButton::clicked, this,
            [this] { triggerAction(QAbstractSlider::SliderSingleStepAdd); });
    connect(down_, &QToolButton::clicked, this,
            [this] { triggerAction(QAbstractSlider::SliderSingleStepSub); });
}

void TUpDown::SetBuddy(QLineEdit* buddy) {
    if (buddy_ != nullptr)
        buddy_->removeEventFilter(this);
    buddy_ = buddy;
    if (buddy_ != nullptr)
        buddy_->installEventFilter(this);
}

QSize TUpDown::sizeHint() const {
    return {16, 22};
}

QSize TUpDown::minimumSizeHint() const {
    return {12, 16};
}

bool TUpDown::StepByKey(int key) {
    switch (key) {
        case Qt::Key_Up:
            triggerAction(QAbstractSlider::SliderSingleStepAdd);
            return true;
        case Qt::Key_Down:
            triggerAction(QAbstractSlider::SliderSingleStepSub);
            return true;
        case Qt::Key_PageUp:
            triggerAction(QAbstractSlider::SliderPageStepAdd);
            return true;
        case Qt::Key_PageDown:
            triggerAction(QAbstractSlider::SliderPageStepSub);
            return true;
        default:
            return false;
    }
}

void TUpDown::StepByWheel(QWheelEvent* event) {
    // High-resolution wheels send small deltas; a step is taken per whole notch.
    wheelRemainder_ += event->angleDelta().y();
    while (wheelRemainder_ >= kWheelNotch) {
        wheelRemainder_ -= kWheelNotch;
        triggerAction(QAbstractSlider::SliderSingleStepAdd);
    }
    while (wheelRemainder_ <= -kWheelNotch) {
        wheelRemainder_ += kWheelNotch;
        triggerAction(QAbstractSlider::SliderSingleStepSub);
    }
    event->accept();
}

void TUpDown::keyPressEvent(QKeyEvent* event) {
    if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && StepByKey(event->key())) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TUpDown::wheelEvent(QWheelEvent* event) {
    StepByWheel(event);
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddy_ && isEnabled()) {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if ((key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && StepByKey(key->key()))
                return true;
        } else if (event->type() == QEvent::Wheel) {
            StepByWheel(static_cast<QWheelEvent*>(event));
            return true;
        }
    }
    return QAbstractSlider::eventFilter(watched, event);
}

}  // namespace tessel
