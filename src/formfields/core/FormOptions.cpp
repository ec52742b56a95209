#include "formfields/core/FormOptions.h"

#include "document/Pagelette.h"

namespace tessel {

TFormOptions FormOptionsOf(const TPagelette& page) {
    TFormOptions options;
    options.FormTitle = page.FormTitle;
    options.FormFooter = page.FormFooter;
    options.Border = page.Border;
    options.EmailAddress = page.EmailAddress;
    options.EmailSubject = page.EmailSubject;
    options.EnvReport = page.EnvReport;
    options.HostName = page.HostName;
    options.BrowserUsed = page.BrowserUsed;
    options.BlankFields = page.BlankFields;
    options.AlphaSort = page.AlphaSort;
    return options;
}

bool ApplyFormOptions(const TFormOptions& options, TPagelette& page) {
    if (options == FormOptionsOf(page))
        return false;
    page.FormTitle = options.FormTitle;
    page.FormFooter = options.FormFooter;
    page.Border = options.Border;
    page.EmailAddress = options.EmailAddress;
    page.EmailSubject = options.EmailSubject;
    page.EnvReport = options.EnvReport;
    page.HostName = options.HostName;
    page.BrowserUsed = options.BrowserUsed;
    page.BlankFields = options.BlankFields;
    page.AlphaSort = options.AlphaSort;
    return true;
}

}  // namespace tessel
