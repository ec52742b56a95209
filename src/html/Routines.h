#pragma once

// Text routines shared by the page generator, the editor panels and the dialogs. Positions
// count from 1, as the callers' texts describe them.

#include <cstdint>
#include <string>
#include <string_view>

#include "document/Colors.h"
#include "document/Numbers.h"

namespace tessel {

// --- Block texts ----------------------------------------------------------------------

// How ConvertLines rewrites each line.
enum TConvertVariant : int {
    cvText = 0,    // an empty line becomes <BR><BR>
    cvOption = 1,  // "address TAB text" becomes a drop-box option line
    cvList = 2,    // a line of two or more characters becomes a list item
    cvMeta = 3,    // "name TAB content" becomes a META tag
};

// Splits `text` into lines (CR LF, CR or LF), rewrites each by `variant` and joins them again
// with CR LF after every line. An empty text gives an empty result.
std::string ConvertLines(std::string_view text, TConvertVariant variant);

// Wraps `text` in the style tags named anywhere in `description` and, when `applyFont` is 1,
// in a FONT tag with the description's face, size and colour. applyFont 0 gives the styled
// text, any other value an empty text. A description that does not follow the pattern fails
// with EConvertError.
std::string FormatBlockText(const std::string& text, const std::string& description, int applyFont);

// A user's text as the value between the double quotes of an HTML attribute: a double quote
// would end the attribute, so it becomes "&quot;". Everything else stays as typed.
std::string AttributeValue(std::string_view text);

// "#RRGGBB" in upper-case hexadecimal; the top byte is ignored.
std::string ColorToHTML(TColor color);

// A font as the font description carries it.
struct TFontValue {
    std::string Name;
    int32_t Size = 0;
    TColor Color = clBlack;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;

    bool operator==(const TFontValue&) const = default;
};

// `"face", size, [Bold|Italic|Underline], [colour]`.
std::string FontToDescription(const TFontValue& font);
// Reads the four parts of a description back by position. Fails with EConvertError when the
// size or the colour cannot be read; `font` is then unchanged.
void DescriptionToFont(const std::string& description, TFontValue& font);

// --- Character encoding -------------------------------------------------------------

// The length of the valid UTF-8 sequence at bytes[i] and its code point, or 0 when the bytes
// there are not one (a plain ASCII byte, overlong forms, surrogates and values past U+10FFFF
// included).
size_t Utf8SequenceAt(std::string_view bytes, size_t i, char32_t& codePoint);
// Appends the UTF-8 bytes of the code point `code`.
void AppendUtf8(std::string& out, char32_t code);
// True when every byte of `bytes` is ASCII or part of a valid UTF-8 sequence.
bool IsValidUtf8(std::string_view bytes);
// True when every byte of `bytes` is ASCII.
bool IsAscii(std::string_view bytes);

// --- Strings --------------------------------------------------------------------------

// Replaces every occurrence of `search` in `s`: `count` characters are deleted where it
// starts and `replacement` goes there. The text is scanned once from left to right, and an
// inserted replacement is never searched again, so a replacement that contains `search`
// cannot loop forever. An empty `search` changes nothing.
void ReplaceText(std::string& s, std::string_view replacement, std::string_view search, int count);
// Every `from` in `s` becomes `to`.
void ReplaceChar(std::string& s, char from, char to);

// The part before the first "|"; empty when there is none.
std::string TextBeforeBar(std::string_view s);
// The part after the first "|"; all of `s` when there is none.
std::string TextAfterBar(std::string_view s);
// The part of a file name before its last "."; a name without a dot gives an empty text.
std::string BaseName(std::string_view name);
std::string RemoveSpaces(std::string_view s);
// True when `s` is not empty and holds only spaces and the digits 0 to 9.
bool IsDigitsAndSpaces(std::string_view s);

// The first position >= |start| at which `pattern` matches `text`, or 0. "?" in the pattern
// matches any character; a negative start folds the case of ASCII letters.
int PosWild(std::string_view text, std::string_view pattern, int start);

// The text from `position` up to the next character of `delimiters`; `position` moves just
// past that character, or becomes 0 when none follows (or on a bad position). Between an
// odd and the following even double quote a double quote is not a delimiter.
std::string NextToken(std::string_view text, std::string_view delimiters, int& position);

// --- Files ----------------------------------------------------------------------------

enum TShellOperation : int { foMove = 1, foCopy = 2, foDelete = 3, foRename = 4 };

// Flags with a meaning here; the others (silent, no error boxes, allow undo) concern a user
// interface this routine does not have.
inline constexpr unsigned fofMultiDestFiles = 0x0001;  // `to` names one target per source
inline constexpr unsigned fofNoConfirmation = 0x0010;  // overwrite existing targets
inline constexpr unsigned fofWantMappingHandle = 0x0020;

// One file operation on the comma-separated names of `from` (and of `to`, when not empty).
// A target that is an existing folder receives the sources under their own names; several
// sources with one target that does not exist make it a folder. Without fofNoConfirmation an
// existing target is left alone and the operation counts as cancelled. True when every name
// was handled and nothing was cancelled; an unknown operation fails at once.
bool ShellFileOperation(const std::string& from, const std::string& to, int operation,
                        unsigned flags);

}  // namespace tessel
