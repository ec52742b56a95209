#pragma once

// Where visitors find the page once it is sent: the web address the user gave for the
// profile's folder, followed by the page's file name.

#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// The page among the files sent: the last one named *.html or *.htm (the main window puts
// the page last), as a bare file name; empty when there is none.
std::string PageFileName(const std::vector<std::string>& paths);

// `fileName` inside the folder at `folderAddress`: an address without a scheme is taken as
// http, one "/" joins the two, and characters that cannot stand in an address are
// %-encoded. Only the folder's address when `fileName` is empty; empty when the folder's
// address is.
std::string PageAddress(std::string_view folderAddress, std::string_view fileName);

}  // namespace tessel
