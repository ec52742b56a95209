#pragma once

// The rows that show form fields in report lists (the forms panel and the field bank dialog):
// caption = field name, icon = the kind's picture, second column = the kind's name.

#include <QString>

#include "formfields/core/FieldBank.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace tessel {

QTreeWidgetItem* NewFieldRow(const TBankField& field);
TBankField FieldOfRow(const QTreeWidgetItem& row);
// Puts another field into an existing row.
void SetFieldRow(QTreeWidgetItem& row, const TBankField& field);
// Exchanges the name, icon and kind of two rows.
void SwapFieldRows(QTreeWidgetItem& a, QTreeWidgetItem& b);
// Sets up a list as a read-only report list with the columns "Name" and "Type".
void SetUpFieldList(QTreeWidget& list, int nameWidth, int typeWidth);

}  // namespace tessel
