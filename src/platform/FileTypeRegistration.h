#pragma once

// Registration of the program's two file types with the desktop: a shared-MIME package
// for .pgx and .pgt, a .desktop entry that opens them with the program, and the icons of
// both, all below the user's data folder. Done at every start, but a file is rewritten
// only when its content changes.

#include <string>

namespace tessel {

inline constexpr const char* kPageMimeType = "application/x-brindle-tessel-page";
inline constexpr const char* kTemplateMimeType = "application/x-brindle-tessel-template";
inline constexpr const char* kProgramIconName = "brindle-tessel";
inline constexpr const char* kTemplateIconName = "brindle-tessel-template";
// The desktop entry's name (without ".desktop"), the same as the installed entry's and the
// AppStream id, so the entry written at start takes the place of the installed one instead of
// showing the program twice in the menu.
inline constexpr const char* kDesktopFileId = "example.brindle_software.Tessel";

std::string MimePackageXml();
// The entry that opens a document with `programPath` as its first argument.
std::string DesktopEntry(const std::string& programPath);
// A program path as one argument of a desktop entry's Exec line.
std::string QuotedExecArgument(const std::string& programPath);

struct TFileTypeFiles {
    std::string mimePackage;   // <data>/mime/packages/brindle-tessel.xml
    std::string desktopEntry;  // <data>/applications/<kDesktopFileId>.desktop
    std::string programIcon;   // <data>/icons/hicolor/scalable/apps/brindle-tessel.svg
    std::string templateIcon;  // ... brindle-tessel-template.svg
};
// `dataHome` ends in "/".
TFileTypeFiles FileTypeFilesIn(const std::string& dataHome);

struct TRegistrationChanges {
    bool mimePackage = false;
    bool desktopEntry = false;
    bool icons = false;
};

// Writes what differs from the files on disk. Empty icon data leaves that icon alone.
// Throws ETesselError when a file cannot be written.
TRegistrationChanges WriteFileTypeRegistration(const std::string& dataHome,
                                               const std::string& programPath,
                                               const std::string& programIconSvg,
                                               const std::string& templateIconSvg);

// Writes `content` to `path` (creating its folder) unless the file already holds exactly
// that; returns whether it wrote.
bool WriteFileIfChanged(const std::string& path, const std::string& content);

}  // namespace tessel
