#pragma once

// The e-mail form's options as the advanced options dialog edits them.

#include <string>

namespace tessel {

class TPagelette;

struct TFormOptions {
    std::string FormTitle;
    bool FormFooter = false;
    bool Border = false;
    bool EmailAddress = false;
    bool EmailSubject = false;
    bool EnvReport = false;
    bool HostName = false;
    bool BrowserUsed = false;
    bool BlankFields = false;
    bool AlphaSort = false;
    std::string FormService;

    bool operator==(const TFormOptions&) const = default;
};

TFormOptions FormOptionsOf(const TPagelette& page);
// Returns whether any option changed.
bool ApplyFormOptions(const TFormOptions& options, TPagelette& page);

}  // namespace tessel
