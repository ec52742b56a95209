#pragma once

// The page option "Fit phones and today's browsers": what it adds to the page. Each piece is
// put in by the generator where it belongs; a page without the option gets none of them.

#include <string>

#include "document/Pagelette.h"

namespace tessel {

// The first line of a fitted page: browsers lay it out in standards mode.
inline constexpr const char* kFitDoctype = "<!DOCTYPE html>";

// What a browser needs to see at the very top of HEAD: the character set the page is written
// in (UTF-8, or windows-1252 for a page whose texts came from an 8-bit program), the
// viewport (unless the page's own meta tags set one), the page icon, and the style that keeps
// pictures, tables, rules and form controls inside a phone's screen. Every line ends in CR LF.
std::string FitHead(const TPagePropertiesBlock& settings, const std::string& charset);

// The HTML start tag, with the page's language when it has one.
std::string FitHtmlTag(const TPagePropertiesBlock& settings);

}  // namespace tessel
