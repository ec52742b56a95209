#pragma once

// The folders below the program folder and the names of the files a save leaves there.
// The program folder always ends in "/".

#include <string>
#include <string_view>

namespace tessel {

inline constexpr const char* kApplicationTitle = "Brindle HTML Tessel 4.0";
inline constexpr const char* kUntitled = "Untitled";
// The program's key in the per-user settings.
inline constexpr const char* kSettingsKey = "Software\\Brindle Software\\HTML Tessel4";

inline constexpr const char* kDocumentsFolder = "TesselFiles/";
inline constexpr const char* kTemplatesFolder = "Templates/";
inline constexpr const char* kUploadFolder = "Upload/";
inline constexpr const char* kImagesFolder = "Upload/images/";
inline constexpr const char* kBackgroundsFolder = "Upload/backgrounds/";
// The copies of pages with unsaved changes, kept in case the program stops.
inline constexpr const char* kRecoveryFolder = "Recovery/";

// The part of a path after its last "/".
std::string FileNameOf(std::string_view path);

// "name - Brindle HTML Tessel 4.0" for a current name (a path or "Untitled").
std::string WindowTitle(std::string_view currentName);

// True when the file's extension is exactly ".pgt" (letter case counts: x.PGT is a page).
bool IsTemplateName(std::string_view path);

// Local copy of a page saved as `chosenPath`: TesselFiles/ + base name + ".html".
std::string LocalHtmlPath(const std::string& programFolder, std::string_view chosenPath);
// Server copy: Upload/ + base name without spaces + ".html".
std::string UploadHtmlName(std::string_view chosenPath);
std::string UploadHtmlPath(const std::string& programFolder, std::string_view chosenPath);
// The server copy's mail script beside it: Upload/ + base name without spaces + "-mail.php".
std::string UploadMailScriptPath(const std::string& programFolder, std::string_view chosenPath);
// HTML of a template: Templates/ + base name + ".html".
std::string TemplateHtmlPath(const std::string& programFolder, std::string_view chosenPath);

}  // namespace tessel
