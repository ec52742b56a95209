#include "formfields/FieldRows.h"

#include <QTreeWidget>
#include <array>

#include "formfields/core/FieldStrings.h"
#include "platform/gui/Pictures.h"
#include "platform/gui/TextConvert.h"

namespace tessel {

namespace {

constexpr int kKindRole = Qt::UserRole;
constexpr std::array<const char*, 6> kKindPictures = {"fkText",     "fkTextArea", "fkRadio",
                                                      "fkCheckBox", "fkDropDown", "fkButton"};

}  // namespace

void SetFieldRow(QTreeWidgetItem& row, const TBankField& field) {
    row.setText(0, ToQt(field.Name));
    row.setText(1, QString::fromLatin1(FieldKindName(field.Kind)));
    row.setIcon(0, PictureIcon(QString::fromLatin1(kKindPictures[field.Kind])));
    row.setData(0, kKindRole, static_cast<int>(field.Kind));
}

QTreeWidgetItem* NewFieldRow(const TBankField& field) {
    auto* row = new QTreeWidgetItem;
    SetFieldRow(*row, field);
    return row;
}

TBankField FieldOfRow(const QTreeWidgetItem& row) {
    return {FromQt(row.text(0)), static_cast<TFieldKind>(row.data(0, kKindRole).toInt())};
}

void SwapFieldRows(QTreeWidgetItem& a, QTreeWidgetItem& b) {
    const TBankField first = FieldOfRow(a);
    SetFieldRow(a, FieldOfRow(b));
    SetFieldRow(b, first);
}

void SetUpFieldList(QTreeWidget& list, int nameWidth, int typeWidth) {
    list.setColumnCount(2);
    list.setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Type")});
    list.setColumnWidth(0, nameWidth);
    list.setColumnWidth(1, typeWidth);
    list.setRootIsDecorated(false);
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
    list.setEditTriggers(QAbstractItemView::NoEditTriggers);
    list.setIconSize(QSize(16, 16));
}

}  // namespace tessel
