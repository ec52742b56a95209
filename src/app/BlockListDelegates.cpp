#include "app/BlockListDelegates.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>

namespace tessel {
namespace {

constexpr int kIconSize = 16;

QColor BackgroundOf(const QStyleOptionViewItem& option) {
    return option.state & QStyle::State_Selected ? option.palette.color(QPalette::Highlight)
                                                 : option.palette.color(QPalette::Button);
}

QPixmap IconOf(const QModelIndex& index) {
    return index.data(Qt::DecorationRole).value<QIcon>().pixmap(kIconSize, kIconSize);
}

}  // namespace

void TBlockEntryDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const QRect r = option.rect;
    painter->save();
    painter->fillRect(r, BackgroundOf(option));
    const QRect tile = r.adjusted(2, 2, -2, -2);
    painter->fillRect(tile, option.palette.color(QPalette::Button));
    // A raised edge: light above and left, dark below and right.
    painter->setPen(option.palette.color(QPalette::Light));
    painter->drawLine(tile.topLeft(), tile.topRight());
    painter->drawLine(tile.topLeft(), tile.bottomLeft());
    painter->setPen(option.palette.color(QPalette::Dark));
    painter->drawLine(tile.bottomLeft(), tile.bottomRight());
    painter->drawLine(tile.topRight(), tile.bottomRight());
    painter->drawPixmap(r.left() + 10, r.top() + 8, IconOf(index));
    painter->setPen(option.palette.color(QPalette::ButtonText));
    painter->drawText(QRect(r.left() + kIconSize + 16, r.top() + 8, r.width(), kIconSize),
                      Qt::AlignLeft | Qt::AlignVCenter, index.data(Qt::DisplayRole).toString());
    painter->restore();
}

QSize TBlockEntryDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    return {view != nullptr ? view->viewport()->width() : 100, kItemHeight};
}

void TPaletteEntryDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    const QRect r = option.rect;
    painter->save();
    painter->fillRect(r, option.state & QStyle::State_Selected
                             ? option.palette.color(QPalette::Highlight)
                             : option.palette.color(QPalette::Base));
    const int middle = r.left() + r.width() / 2;
    painter->drawPixmap(middle - kIconSize / 2, r.top() + 4, IconOf(index));
    painter->setPen(option.state & QStyle::State_Selected
                        ? option.palette.color(QPalette::HighlightedText)
                        : option.palette.color(QPalette::Text));
    const QString caption = index.data(Qt::DisplayRole).toString();
    const int width = option.fontMetrics.horizontalAdvance(caption);
    painter->drawText(
        QRect(middle - width / 2, r.top() + 4 + kIconSize, width + 1, option.fontMetrics.height()),
        Qt::AlignLeft | Qt::AlignTop, caption);
    painter->restore();
}

QSize TPaletteEntryDelegate::sizeHint(const QStyleOptionViewItem& option,
                                      const QModelIndex&) const {
    return {option.rect.width() > 0 ? option.rect.width() : 80, kItemHeight};
}

}  // namespace tessel
