#pragma once

// The maker's addresses that pages carry. This program has no web site of its own, so they
// point into the reserved domain brindle-software.example.

namespace tessel {

// Head comment and banner link of every generated page.
inline constexpr const char* kMakerWebAddress = "http://www.brindle-software.example/";

// The maker's hosting and reseller pages, opened from the main window's Help actions.
inline constexpr const char* kMakerHostingAddress = "http://www.brindle-software.example/hosting/";
inline constexpr const char* kMakerResellerAddress = "http://www.brindle-software.example/resell/";

// Where the message about a missing default program sends the user for help.
inline constexpr const char* kMakerSupportEmail = "support@brindle-software.example";

// The picture of the optional maker banner.
inline constexpr const char* kMakerBannerImage =
    "http://www.brindle-software.example/images/tessel-banner.gif";

// Where the e-mail form posts. A relative address reaches the FormMail script on the server
// that hosts the page itself: a page's owner uploads it next to their own script, and no
// third-party mail relay of ours (there is none) is ever involved.
inline constexpr const char* kFormMailAction = "/cgi-bin/FormMail.pl";

}  // namespace tessel
