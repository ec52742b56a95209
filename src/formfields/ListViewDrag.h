#pragma once

// Row dragging for the report lists of the form dialogs: a drag starts once the mouse moves
// past the platform's threshold with a starting button held on a row, and any such list
// accepts the drop; what a drop does is the receiving window's business.

#include <QObject>
#include <QPoint>

class QTreeWidget;

namespace tessel {

class TListViewDrag : public QObject {
    Q_OBJECT

  public:
    // Watches `list`, starting drags with any of `startButtons`; owned by the list.
    TListViewDrag(QTreeWidget* list, Qt::MouseButtons startButtons);

  signals:
    // A row of `source` was dropped at a point of the list's viewport.
    void Dropped(QTreeWidget* source, const QPoint& viewportPos);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QTreeWidget* list_;
    QObject* viewport_;
    Qt::MouseButtons startButtons_;
    QPoint pressPos_;
    bool pressedOnRow_ = false;
};

// The list that a drag came from, or nullptr when it is not one of ours.
QTreeWidget* DraggedList(const QObject* dragSource);

}  // namespace tessel
