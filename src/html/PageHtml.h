#pragma once

// Turns the page document into the HTML of one page. The preview, the copies saved beside a
// document and the copy that is uploaded all come from here; they differ only in how
// picture files are addressed.

#include <string>
#include <vector>

#include "document/Pagelette.h"

namespace tessel {

enum TOutputMode : int {
    omPreview = 0,     // built-in viewer: program folder + "Upload/images/" + file
    omLocalCopy = 1,   // saved beside the document: "../Upload/images/" + file
    omServerCopy = 2,  // uploaded with its pictures: the file name alone
};

// What a page run asks of the window that edits the document. A command line has none.
class TPageHost {
  public:
    virtual ~TPageHost() = default;
    // Commit the open editor panel into the document; this raises the modified flag when
    // a block is being edited.
    virtual void StorePendingEdits() = 0;
    // true: show the hourglass; false: restore the default cursor.
    virtual void SetBusy(bool busy) = 0;
    // Select the theme list entry with this name.
    virtual void SelectTheme(const std::string& themeName) = 0;
    // A warning box with an OK button.
    virtual void ShowWarning(const std::string& message) = 0;
};

struct TGenerateOptions {
    TOutputMode mode = omServerCopy;
    std::string programFolder;  // ends in "/"; only the preview uses it
    bool banner = false;        // the page-settings check box "&Show Brindle Logo on page"
    TPageHost* host = nullptr;  // nullptr: no window (the command line)
    // The page's name on the web server ("MyPage.html"); a form that goes to the mail script
    // posts to the script named after it.
    std::string pageFileName = {};
};

inline constexpr const char* kGeneratePageError = "Error Creating Web Page";

// Replaces `lines` by the page, one HTML line per entry; written to a file every line ends
// with CR LF (see PageText). A document without blocks gives no lines at all.
//
// The user's texts go into the page as typed (text between tags is the user's own HTML),
// except that a double quote in an attribute value becomes "&quot;". A page that holds any
// byte beyond ASCII states its character set right after <HEAD>: UTF-8, or windows-1252
// when those bytes are not UTF-8. Texts that are not UTF-8 come from the older 8-bit program;
// when they meet texts that are UTF-8, the page is made from a copy of the document in which
// they are converted from windows-1252 (see MixedTexts.h), and it is UTF-8 throughout.
//
// With a host: the pending edits are stored first, the hourglass shows while the page is
// made and the cursor is restored on every path, and the theme list follows ThemeName.
//
// An output mode other than the three throws std::invalid_argument before anything is done.
//
// Failures:
// - A list index error (EListError) while generating, the host's included: with a host,
//   the warning kGeneratePageError is shown, the call returns normally and `lines` keeps
//   what had been produced (the block entries so far, not yet split into lines).
// - Any other error, and a list index error without a host, ends the run and is thrown as
//   it is; what a document can cause derives from ETesselError, so a command line prints
//   what() and fails. Example: EConvertError "'%s' is not a valid integer value" for an
//   IndentMargin or a font size that is not a whole number. `lines` then holds the block
//   entries made so far.
void GeneratePage(TPagelette& document, std::vector<std::string>& lines,
                  const TGenerateOptions& options);

// The lines as a file holds them: each one followed by CR LF.
std::string PageText(const std::vector<std::string>& lines);

}  // namespace tessel
