#include "formfields/ListViewDrag.h"

#include <QApplication>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTreeWidget>

namespace tessel {

namespace {
const QString kRowMime = QStringLiteral("application/x-tessel-list-row");
}

TListViewDrag::TListViewDrag(QTreeWidget* list, Qt::MouseButtons startButtons)
    : QObject(list), list_(list), viewport_(list->viewport()), startButtons_(startButtons) {
    viewport_->installEventFilter(this);
    list->viewport()->setAcceptDrops(true);
}

QTreeWidget* DraggedList(const QObject* dragSource) {
    return qobject_cast<QTreeWidget*>(const_cast<QObject*>(dragSource));
}

bool TListViewDrag::eventFilter(QObject* watched, QEvent* event) {
    // Compared by address only: the list may be half destroyed when its viewport's last
    // events arrive.
    if (watched != viewport_)
        return false;
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            pressPos_ = mouse->position().toPoint();
            // A disabled list still shows its viewport's events to filters.
            pressedOnRow_ = list_->isEnabled() && (mouse->button() & startButtons_) != 0 &&
                            list_->itemAt(pressPos_) != nullptr;
            return false;
        }
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (!pressedOnRow_ || (mouse->buttons() & startButtons_) == 0 ||
                (mouse->position().toPoint() - pressPos_).manhattanLength() <
                    QApplication::startDragDistance()) {
                return false;
            }
            pressedOnRow_ = false;
            list_->setCurrentItem(list_->itemAt(pressPos_));
            auto* drag = new QDrag(list_);
            auto* data = new QMimeData;
            data->setData(kRowMime, QByteArray());
            drag->setMimeData(data);
            drag->exec(Qt::MoveAction);
            return true;
        }
        case QEvent::MouseButtonRelease:
            pressedOnRow_ = false;
            return false;
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (drag->mimeData()->hasFormat(kRowMime) && DraggedList(drag->source()) != nullptr)
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            QTreeWidget* source = DraggedList(drop->source());
            if (source == nullptr)
                return true;
            drop->acceptProposedAction();
            emit Dropped(source, drop->position().toPoint());
            return true;
        }
        default:
            return false;
    }
}

}  // namespace tessel
