#pragma once

// The character set of a page's bytes, as a browser picks it: the charset of a
// <META HTTP-EQUIV="Content-Type"> line when the page declares one, otherwise UTF-8 when
// the bytes are valid UTF-8 and windows-1252 when they are not.

#include <string>
#include <string_view>

namespace tessel {

enum class TPageCharset { Utf8, Windows1252 };

// The charset named by the page's Content-Type META line, lower-cased; empty when none.
std::string DeclaredCharset(std::string_view page);

// The charset the page is decoded with. A declared name other than UTF-8 counts as
// windows-1252 (browsers read ISO-8859-1 and US-ASCII pages as windows-1252 too).
TPageCharset PageCharsetOf(std::string_view page);

// The character of one windows-1252 byte.
char32_t Windows1252CodePoint(unsigned char byte);

// Text of an 8-bit program, read as windows-1252, in UTF-8.
std::string Windows1252ToUtf8(std::string_view text);

// The page as UTF-8. Bytes that are not valid in a UTF-8 page become U+FFFD, as in a
// browser.
std::string DecodePage(std::string_view page);

}  // namespace tessel
