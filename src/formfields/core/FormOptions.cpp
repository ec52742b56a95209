#include "formfields/core/FormOptions.h"

#include "document/Pagelette.h"

namespace tessel {

namespace {

// The page and the options value name the form's settings alike: one list for both ways.
template <class TFrom, class TTo>
void CopyFormSettings(const TFrom& from, TTo& to) {
    to.FormTitle = from.FormTitle;
    to.FormFooter = from.FormFooter;
    to.Border = from.Border;
    to.EmailAddress = from.EmailAddress;
    to.EmailSubject = from.EmailSubject;
    to.EnvReport = from.EnvReport;
    to.HostName = from.HostName;
    to.BrowserUsed = from.BrowserUsed;
    to.BlankFields = from.BlankFields;
    to.AlphaSort = from.AlphaSort;
    to.FormService = from.FormService;
}

}  // namespace

TFormOptions FormOptionsOf(const TPagelette& page) {
    TFormOptions options;
    CopyFormSettings(page, options);
    return options;
}

bool ApplyFormOptions(const TFormOptions& options, TPagelette& page) {
    if (options == FormOptionsOf(page))
        return false;
    CopyFormSettings(options, page);
    return true;
}

}  // namespace tessel
