#pragma once

// A list of full file paths shown so that each file's name can be read: the folder gives
// way, in its middle, before the name does.

#include <QStyledItemDelegate>

class QFontMetrics;

namespace tessel {

// `path` as it fits in `width` pixels: whole when it fits; otherwise its file name after as
// much of the folder as fits, with "…" in the middle of the folder; a file name too long
// by itself loses its own middle.
QString ElidedPath(const QString& path, const QFontMetrics& metrics, int width);

// Draws every entry with ElidedPath; the entries keep their full text, and the list needs
// no horizontal scrolling.
class TElidedPathDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace tessel
