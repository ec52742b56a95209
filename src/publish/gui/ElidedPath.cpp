#include "publish/gui/ElidedPath.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

namespace tessel {

QString ElidedPath(const QString& path, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(path) <= width) {
        return path;
    }
    const int slash = static_cast<int>(path.lastIndexOf(QLatin1Char('/')));
    const QString name = path.mid(slash + 1);
    const int nameWidth = metrics.horizontalAdvance(name);
    const QString folder = path.left(slash + 1);  // with its "/"
    if (slash < 0 || nameWidth >= width) {
        return metrics.elidedText(name, Qt::ElideMiddle, width);
    }
    return metrics.elidedText(folder, Qt::ElideMiddle, width - nameWidth) + name;
}

void TElidedPathDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QStyle* style = opt.widget != nullptr ? opt.widget->style() : QApplication::style();
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
    // The style keeps a margin inside the text's rectangle on either side.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, opt.widget) + 1;
    opt.text = ElidedPath(opt.text, opt.fontMetrics, textRect.width() - 2 * margin);
    opt.textElideMode = Qt::ElideNone;
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
}

QSize TElidedPathDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    // As wide as the list, whatever the path's length.
    return {1, QStyledItemDelegate::sizeHint(option, index).height()};
}

}  // namespace tessel
