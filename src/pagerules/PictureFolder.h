#pragma once

// The picture folders (Upload/images/, Upload/backgrounds/) keep one file per name, and every
// page that names a picture uses the folder's file. Choosing a picture from elsewhere puts it
// there; these are the rules for a name the folder already holds.

#include <string>

namespace tessel {

enum class TPictureInFolder {
    Absent,     // no file of that name yet: copy the chosen one in
    Same,       // the chosen file is the folder's file, or has the same bytes: use it as it is
    Different,  // another picture has that name: replacing it changes the pages that use it
};

// How the chosen picture relates to the folder's file of the same name.
TPictureInFolder ComparePictureWithFolder(const std::string& chosenPath, const std::string& folder);

// How a picture made in memory (a scaled copy) relates to the folder's file `name`.
TPictureInFolder CompareBytesWithFolder(const std::string& bytes, const std::string& name,
                                        const std::string& folder);

// True when both files can be read and hold the same bytes.
bool SameFileContent(const std::string& firstPath, const std::string& secondPath);

// Copies the chosen picture into the folder under its own name, replacing a file of that
// name; the folder is created when missing. A failed copy leaves the folder's file as it
// was. Throws ETesselError naming the file and the reason.
void CopyPictureIntoFolder(const std::string& chosenPath, const std::string& folder);

// Writes a picture made in memory into the folder as `name`, as CopyPictureIntoFolder does.
void WritePictureIntoFolder(const std::string& bytes, const std::string& name,
                            const std::string& folder);

}  // namespace tessel
