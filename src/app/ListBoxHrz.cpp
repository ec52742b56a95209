#include "app/ListBoxHrz.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextOption>
#include <algorithm>

namespace tessel {
namespace {

// Draws a line with its TABs at the list's tab stops and reports the fitted width, so the
// view's scroll range follows CurrentWidth.
class TTabbedLineDelegate : public QStyledItemDelegate {
  public:
    explicit TTabbedLineDelegate(TListBoxHrz* list) : QStyledItemDelegate(list), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        opt.widget->style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        QTextOption textOption(Qt::AlignLeft | Qt::AlignVCenter);
        textOption.setWrapMode(QTextOption::NoWrap);
        textOption.setTabStopDistance(list_->TabPixels());
        painter->save();
        painter->setPen(opt.state & QStyle::State_Selected
                            ? opt.palette.color(QPalette::HighlightedText)
                            : opt.palette.color(QPalette::Text));
        painter->drawText(QRectF(opt.rect.adjusted(2, 0, 0, 0)), text, textOption);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(std::max(list_->CurrentWidth(), 1));
        return size;
    }

  private:
    TListBoxHrz* list_;
};

}  // namespace

TListBoxHrz::TListBoxHrz(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new TTabbedLineDelegate(this));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void TListBoxHrz::SetTabWidth(int dialogUnits) {
    tabWidth_ = dialogUnits;
    Refit();
}

int TListBoxHrz::TabPixels() const {
    const int pixels = tabWidth_ * fontMetrics().averageCharWidth() / 4;
    return pixels > 0 ? pixels : 8 * fontMetrics().averageCharWidth();
}

int TListBoxHrz::LineWidth(const QString& line) const {
    // A TAB is measured as the jump to the next tab stop, as it is drawn.
    const QFontMetrics metrics = fontMetrics();
    const int tab = TabPixels();
    const QStringList parts = QString(line + QStringLiteral("XX")).split(QLatin1Char('\t'));
    int width = 0;
    for (int i = 0; i < parts.size(); ++i) {
        if (i > 0)
            width = (width / tab + 1) * tab;
        width += metrics.horizontalAdvance(parts[i]);
    }
    return width;
}

void TListBoxHrz::Grow(const QString& line) {
    const int width = LineWidth(line);
    if (width > currentWidth_)
        currentWidth_ = width + TabPixels();
    doItemsLayout();
}

void TListBoxHrz::Refit() {
    int widest = 0;
    for (int row = 0; row < count(); ++row) widest = std::max(widest, LineWidth(item(row)->text()));
    currentWidth_ = count() == 0 ? 0 : widest + TabPixels();
    doItemsLayout();
}

void TListBoxHrz::AddLine(const QString& line) {
    addItem(line);
    Grow(line);
}

void TListBoxHrz::InsertLine(int row, const QString& line) {
    insertItem(row, line);
    Grow(line);
}

void TListBoxHrz::ReplaceLine(int row, const QString& line) {
    item(row)->setText(line);
    Refit();
}

void TListBoxHrz::DeleteLine(int row) {
    delete takeItem(row);
    Refit();
}

void TListBoxHrz::ClearLines() {
    clear();
    currentWidth_ = 0;
}

void TListBoxHrz::SetLines(const QStringList& lines) {
    clear();
    addItems(lines);
    Refit();
}

QStringList TListBoxHrz::Lines() const {
    QStringList lines;
    for (int row = 0; row < count(); ++row) lines << item(row)->text();
    return lines;
}

QString TListBoxHrz::Line(int row) const {
    return item(row)->text();
}

void TListBoxHrz::changeEvent(QEvent* event) {
    QListWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        Refit();
}

}  // namespace tessel
