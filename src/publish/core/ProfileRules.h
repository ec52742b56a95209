#pragma once

// The rules of the profile editor that need no window: which characters a profile name and
// the port may hold, and whether Apply may store a name.

#include <string>
#include <string_view>
#include <vector>

#include "publish/core/Profiles.h"

namespace tessel {

inline constexpr const char* kDuplicateProfileMessage =
    "There is already a server profile with this name.";
inline constexpr const char* kBadProfileNameMessage =
    "A server profile name cannot contain any of these characters: \\ / : * ? \" < > |";

// The characters that file names may not hold; a profile name becomes a settings key name.
inline constexpr std::string_view kRefusedProfileNameChars = "\\/:*?\"<>|";

bool IsRefusedProfileNameChar(char c);
// `text` without the refused characters, for pasted text.
std::string StripRefusedProfileNameChars(std::string_view text);
// Not empty and without refused characters.
bool IsProfileNameAcceptable(std::string_view name);

// The port field takes the digits 0 to 9 and Backspace only.
bool IsPortKey(char c);
// `text` with only its digits, for pasted text.
std::string PortDigits(std::string_view text);

enum class TProfileEditMode { Add, Edit };

enum class TApplyVerdict {
    Store,      // write the profile
    EmptyName,  // nothing to apply
    BadName,    // kBadProfileNameMessage
    Duplicate,  // kDuplicateProfileMessage
};

struct TApplyDecision {
    TApplyVerdict verdict = TApplyVerdict::Store;
    // The name whose subkey WriteProfile deletes first: the selected profile's name when Edit
    // renames it, else empty.
    std::string oldName;
};

// `captions` are the names in the list. In Edit mode `selected` is the index of the profile
// being edited; a name that differs from its caption (exactly) must not equal any caption
// without regard to case, the edited profile's own included, so a rename that changes only
// the letter case is refused. In Add mode the name must not equal any caption without regard
// to case. Throws std::out_of_range in Edit mode when `selected` is not an index of `captions`.
TApplyDecision DecideApply(const std::vector<std::string>& captions, TProfileEditMode mode,
                           int selected, const std::string& newName);

// The trusted certificate fingerprint an edited profile keeps: the stored one while the
// edited profile still asks for encryption from the same host and port, else none, so a
// certificate trusted for one server is never taken for another.
std::string KeptFingerprint(const TServerProfile& stored, const TServerProfile& edited);

// The same for the trusted SSH host key: kept while the edited profile still sends by SFTP
// to the same host and port.
std::string KeptHostKey(const TServerProfile& stored, const TServerProfile& edited);

// The port the editor proposes when the way to send changes: the usual port of the new way
// in place of the usual port of the other (or none); a port of the user's own stays.
std::string PortForWay(const std::string& port, bool sftp);

}  // namespace tessel
