#pragma once

// The page's mail script: the PHP template delivered with the program, with the form's settings
// written into it when the page is saved. It is the page's own server-side part.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/Pagelette.h"

namespace tessel {

// The script for `document`'s form, for a page named `pageFileName` on the web server. Every
// text that comes from the document is written as a PHP string literal, so that no document
// text can end the literal and become code; texts that are not UTF-8 are read as windows-1252.
std::string MailScriptText(const TPagelette& document, std::string_view pageFileName);

// A PHP single-quoted literal that holds `text` byte for byte.
std::string PhpStringLiteral(std::string_view text);

// Replaces each "@@NAME@@" of `text` by the value given for NAME, in one pass, so a value that
// holds such a token is never replaced again. Throws std::logic_error when the text has a token
// without a value or a value is not used exactly once: the template and the program disagree.
std::string FillTemplate(std::string_view text,
                         const std::vector<std::pair<std::string, std::string>>& values);

// The template as delivered (data/mail-script.php).
std::string_view MailScriptTemplate();

}  // namespace tessel
