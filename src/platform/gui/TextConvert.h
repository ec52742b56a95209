#pragma once

// The one pair of conversions between the model's byte strings and Qt's strings.
//
// Bytes that form valid UTF-8 are decoded as UTF-8; any other byte becomes the Latin-1
// character of the same value, so no text of a document is ever lost on the way to a
// widget. Going back always produces UTF-8: a byte string that was not UTF-8 (say
// "caf\xE9") comes back from ToQt then FromQt as its UTF-8 form ("caf\xC3\xA9").

#include <QString>
#include <string>

namespace tessel {

QString ToQt(const std::string& bytes);
std::string FromQt(const QString& text);

// For multi-line edits: the model keeps CR LF line ends, edit controls use LF.
QString ToQtLines(const std::string& bytes);
// LF becomes CR LF; a CR LF already in the text stays one line end.
std::string FromQtLines(const QString& text);

}  // namespace tessel
