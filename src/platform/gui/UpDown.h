#pragma once

// An up-down control: two small arrow buttons that step a position within a range, in
// steps, without wrapping. The arrows, the mouse wheel and the Up, Down, Page Up and Page
// Down keys step it; so do the keys and the wheel on its buddy edit, which usually shows the
// position and may be read-only.

#include <QAbstractSlider>

class QLineEdit;
class QToolButton;

namespace tessel {

class TUpDown : public QAbstractSlider {
    Q_OBJECT

  public:
    explicit TUpDown(QWidget* parent = nullptr);

    void SetBuddy(QLineEdit* buddy);
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool StepByKey(int key);
    void StepByWheel(QWheelEvent* event);

    QToolButton* up_;
    QToolButton* down_;
    QLineEdit* buddy_ = nullptr;
    int wheelRemainder_ = 0;  // eighths of a degree not yet turned into a step
};

}  // namespace tessel
