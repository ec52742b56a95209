#include "pagerules/ProgramPaths.h"

#include "html/FormDelivery.h"
#include "html/Routines.h"

namespace tessel {

std::string FileNameOf(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string WindowTitle(std::string_view currentName) {
    return FileNameOf(currentName) + " - " + kApplicationTitle;
}

bool IsTemplateName(std::string_view path) {
    const std::string name = FileNameOf(path);
    const size_t dot = name.find_last_of('.');
    return dot != std::string::npos && name.substr(dot) == ".pgt";
}

std::string LocalHtmlPath(const std::string& programFolder, std::string_view chosenPath) {
    return programFolder + kDocumentsFolder + BaseName(FileNameOf(chosenPath)) + ".html";
}

std::string UploadHtmlName(std::string_view chosenPath) {
    return RemoveSpaces(BaseName(FileNameOf(chosenPath))) + ".html";
}

std::string UploadHtmlPath(const std::string& programFolder, std::string_view chosenPath) {
    return programFolder + kUploadFolder + UploadHtmlName(chosenPath);
}

std::string UploadMailScriptPath(const std::string& programFolder, std::string_view chosenPath) {
    return programFolder + kUploadFolder + MailScriptName(UploadHtmlName(chosenPath));
}

std::string TemplateHtmlPath(const std::string& programFolder, std::string_view chosenPath) {
    return programFolder + kTemplatesFolder + BaseName(FileNameOf(chosenPath)) + ".html";
}

}  // namespace tessel
