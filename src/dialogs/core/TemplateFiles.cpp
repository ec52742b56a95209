#include "dialogs/core/TemplateFiles.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "html/Routines.h"
#include "pagerules/ProgramPaths.h"

namespace tessel {

namespace fs = std::filesystem;

namespace {

const char* Extension(TDocumentPlace place) {
    return place == dpTemplate ? ".pgt" : ".pgx";
}

bool CaptionBefore(const TDocumentEntry& a, const TDocumentEntry& b) {
    return std::lexicographical_compare(
        a.caption.begin(), a.caption.end(), b.caption.begin(), b.caption.end(),
        [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
}

void AddDocuments(const std::string& folder, TDocumentPlace place,
                  std::vector<TDocumentEntry>& entries) {
    std::vector<TDocumentEntry> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const std::string extension = Extension(place);
        if (name.size() <= extension.size() ||
            name.compare(name.size() - extension.size(), extension.size(), extension) != 0) {
            continue;
        }
        std::error_code ignored;
        if (!it->is_regular_file(ignored))
            continue;
        found.push_back({BaseName(name), place});
    }
    std::sort(found.begin(), found.end(), CaptionBefore);
    entries.insert(entries.end(), found.begin(), found.end());
}

}  // namespace

std::vector<TDocumentEntry> ListDocuments(const std::string& programFolder) {
    std::vector<TDocumentEntry> entries;
    AddDocuments(DocumentFolder(programFolder, dpTemplate), dpTemplate, entries);
    AddDocuments(DocumentFolder(programFolder, dpPage), dpPage, entries);
    return entries;
}

std::string DocumentFolder(const std::string& programFolder, TDocumentPlace place) {
    return programFolder + (place == dpTemplate ? kTemplatesFolder : kDocumentsFolder);
}

std::string DocumentPath(const std::string& programFolder, const TDocumentEntry& entry) {
    return DocumentFolder(programFolder, entry.place) + entry.caption + Extension(entry.place);
}

std::string PreviewHtmlPath(const std::string& documentPath) {
    fs::path path(documentPath);
    path.replace_extension(".html");
    return path.string();
}

TDeleteResult DeleteDocumentFiles(const std::string& documentPath) {
    TDeleteResult result;
    std::error_code error;
    result.documentExisted = fs::exists(documentPath, error);
    if (!result.documentExisted)
        return result;
    if (!fs::remove(documentPath, error) || error) {
        result.error = error ? error.message() : "the file could not be removed";
        return result;
    }
    result.deleted = true;
    const std::string html = PreviewHtmlPath(documentPath);
    if (fs::exists(html, error) && (!fs::remove(html, error) || error))
        result.error = error ? error.message() : "the file could not be removed";
    return result;
}

}  // namespace tessel
