#pragma once

// The template browser's rules that need no window: which documents it lists, where an item's
// files lie, and deleting an item's files.

#include <string>
#include <vector>

namespace tessel {

// Where a listed document lives; also the index of its icon.
enum TDocumentPlace : int { dpTemplate = 0, dpPage = 1 };

struct TDocumentEntry {
    std::string caption;  // the file name without its extension
    TDocumentPlace place = dpTemplate;
};

// The templates (".pgt") in Templates/ and then the page documents (".pgx") in TesselFiles/ of
// the program folder, each group sorted by caption without regard to case. A missing folder
// adds nothing; names whose base is empty are left out, since no item could name them.
std::vector<TDocumentEntry> ListDocuments(const std::string& programFolder);

// The folder of an entry (ending in "/") and the full path of its document.
std::string DocumentFolder(const std::string& programFolder, TDocumentPlace place);
std::string DocumentPath(const std::string& programFolder, const TDocumentEntry& entry);

// The HTML file written beside a document when it was saved: the path without its extension
// followed by ".html".
std::string PreviewHtmlPath(const std::string& documentPath);

struct TDeleteResult {
    bool documentExisted = false;
    bool deleted = false;  // the document is gone
    std::string error;     // why the document or its HTML file could not be deleted
};

// Deletes the document and, once it is gone, the HTML file of the same base when there is one.
TDeleteResult DeleteDocumentFiles(const std::string& documentPath);

}  // namespace tessel
