#pragma once

#include <QString>

class QWidget;

namespace tessel {

class TUiServices;

// The text of the information box shown when no program could open a file or address.
QString DefaultClientFailureText();

// Opens a file or web address with its default program; when that fails, tells the user
// so in an information box. Returns whether it was opened.
bool OpenWithShell(TUiServices& ui, QWidget* parent, const QString& pathOrUrl);

}  // namespace tessel
