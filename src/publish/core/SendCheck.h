#pragma once

// The check before a page is sent: things a visitor of the published page would notice,
// told in words for someone who knows no HTML. Only what the page's HTML actually shows is
// checked.

#include <functional>
#include <string>
#include <vector>

namespace tessel {

class TPagelette;

enum class TSendProblem {
    NoTitle,            // the page settings have no title
    MissingPicture,     // a picture the page shows is not in its folder (or none was chosen)
    NoAlternativeText,  // an image block without alternative text
    NoFormAddress,      // an e-mail form with fields but no address to send to
    NoLinkAddress,      // a single link with words but no address
    FormMailOnHost,     // an e-mail form that needs FormMail on the web host
    NotFitForPhones,    // the page is not set to fit phones and today's browsers
    NoDescription,      // no description meta tag: search engines show some text of their own
};

struct TSendFinding {
    int block;  // index in the block list; 0 is the page settings
    TSendProblem problem;
    std::string text;  // one line for the user, naming the block
    // A mend the user may take with one button, when the check knows one: the button's caption
    // (with its Alt letter) and what it does to the page.
    std::string fixCaption = {};
    std::function<void(TPagelette&)> fix = {};
};

// The findings in block order. `programFolder` ends in "/"; pictures are looked for in its
// Upload/images/ and Upload/backgrounds/. `language` is the page language that the mend which
// fits a page to phones gives a page that has none (the desktop's, "en").
std::vector<TSendFinding> CheckBeforeSending(TPagelette& document, const std::string& programFolder,
                                             const std::string& language);

}  // namespace tessel
