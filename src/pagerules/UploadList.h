#pragma once

// The picture files a page uses, for sending the page to a web server.

#include <string>
#include <vector>

namespace tessel {

class TPagelette;

// For each block in order: the page settings' background in Upload/backgrounds/ and each
// image block's picture in Upload/images/, each only when the file exists and its name is a
// plain file name. Sorted without regard to letter case; a path equal to one already
// collected (ignoring case) is dropped. Full paths.
std::vector<std::string> ListUploadFiles(TPagelette& document, const std::string& programFolder);

}  // namespace tessel
