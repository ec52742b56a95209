#pragma once

// The help context numbers of the program's controls and messages. The help folder has one
// topic page for each, named by HelpTopicFileName.

#include <array>
#include <string>

namespace tessel {

// Page settings panel.
inline constexpr int kHelpPageTitle = 10;
inline constexpr int kHelpNoUnderline = 11;
inline constexpr int kHelpMetaTags = 12;
inline constexpr int kHelpMetaName = 13;
inline constexpr int kHelpMetaContent = 14;
inline constexpr int kHelpFitScreens = 23;  // fit phones and today's browsers, page language
// Block list.
inline constexpr int kHelpTrash = 15;
// Image panel.
inline constexpr int kHelpImageAlign = 16;
inline constexpr int kHelpImageWidth = 17;
inline constexpr int kHelpImageHeight = 18;
inline constexpr int kHelpImageFile = 19;
inline constexpr int kHelpImagePreview = 20;
inline constexpr int kHelpImageHint = 21;
inline constexpr int kHelpNewParagraph = 22;
inline constexpr int kHelpUndo = 24;
// Heading, link, text, bullet and line panels.
inline constexpr int kHelpHeading = 26;
inline constexpr int kHelpEmailLink = 27;
inline constexpr int kHelpLinkText = 28;
inline constexpr int kHelpLinkAddress = 29;
inline constexpr int kHelpImageLink = 31;
inline constexpr int kHelpDropBox = 33;
inline constexpr int kHelpLinkList = 34;
inline constexpr int kHelpParagraph = 35;
inline constexpr int kHelpBulletStyle = 48;
inline constexpr int kHelpBulletText = 49;
inline constexpr int kHelpLineThickness = 50;
inline constexpr int kHelpLineWidth = 51;
inline constexpr int kHelpPalette = 55;
// Server profiles.
inline constexpr int kHelpProfileName = 57;
inline constexpr int kHelpProfileUser = 58;
inline constexpr int kHelpProfilePort = 59;
inline constexpr int kHelpProfileFolder = 60;
inline constexpr int kHelpProfileHost = 61;
inline constexpr int kHelpProfilePassword = 62;
inline constexpr int kHelpProfileList = 63;
// Preview and upload.
inline constexpr int kHelpThemeList = 66;
inline constexpr int kHelpUploadList = 75;
inline constexpr int kHelpViewer = 76;
inline constexpr int kHelpAlignLeft = 103;
inline constexpr int kHelpAlignCenter = 104;
inline constexpr int kHelpAlignRight = 105;
inline constexpr int kHelpUploadSaved = 171;
inline constexpr int kHelpNoShade = 190;
// Forms panel and form field editor.
inline constexpr int kHelpForms = 200;
inline constexpr int kHelpFormService = 201;  // where the form is sent
inline constexpr int kHelpFormOptions = 202;
inline constexpr int kHelpFormBasicFields = 203;
// The field editor's common edits: kHelpFieldBase + the field kind (0 text box .. 5 button).
inline constexpr int kHelpFieldBase = 204;

inline constexpr std::array kAllHelpContexts = {
    kHelpPageTitle,     kHelpNoUnderline,   kHelpMetaTags,      kHelpMetaName,
    kHelpMetaContent,   kHelpTrash,         kHelpImageAlign,    kHelpImageWidth,
    kHelpImageHeight,   kHelpImageFile,     kHelpImagePreview,  kHelpImageHint,
    kHelpNewParagraph,  kHelpHeading,       kHelpEmailLink,     kHelpLinkText,
    kHelpLinkAddress,   kHelpImageLink,     kHelpDropBox,       kHelpLinkList,
    kHelpParagraph,     kHelpBulletStyle,   kHelpBulletText,    kHelpLineThickness,
    kHelpLineWidth,     kHelpPalette,       kHelpProfileName,   kHelpProfileUser,
    kHelpProfilePort,   kHelpProfileFolder, kHelpProfileHost,   kHelpProfilePassword,
    kHelpProfileList,   kHelpThemeList,     kHelpUploadList,    kHelpViewer,
    kHelpAlignLeft,     kHelpAlignCenter,   kHelpAlignRight,    kHelpUploadSaved,
    kHelpNoShade,       kHelpForms,         kHelpFormOptions,   kHelpFormBasicFields,
    kHelpFieldBase + 0, kHelpFieldBase + 1, kHelpFieldBase + 2, kHelpFieldBase + 3,
    kHelpFieldBase + 4, kHelpFieldBase + 5, kHelpFormService,   kHelpFitScreens,
    kHelpUndo,
};

// "ctx-171.html" for context 171: the topic page in the help folder.
inline std::string HelpTopicFileName(int context) {
    return "ctx-" + std::to_string(context) + ".html";
}

inline constexpr const char* kHelpContentsFileName = "index.html";
// The walk from a new page to a published one, offered from the Help menu.
inline constexpr const char* kHelpGettingStartedFileName = "getting-started.html";

}  // namespace tessel
