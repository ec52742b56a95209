#pragma once

// Where the page's e-mail form goes: the host's FormMail (the form as it always was), the
// mail script sent with the page, or a form service the user has an account with.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/Pagelette.h"

namespace tessel {

enum class TFormDelivery { HostFormMail, MailScript, FormService };

// What a TPagelette::FormService text asks for.
TFormDelivery FormDeliveryOf(std::string_view formService);
TFormDelivery FormDeliveryOf(const TPagelette& document);

// True when the page shows a form (a forms block and at least one field) that posts to the
// mail script: only then is the script written and sent.
bool UsesMailScript(TPagelette& document);

// The mail script beside a page on the web server: MyPage.html -> MyPage-mail.php. A name
// without an extension keeps all of it.
std::string MailScriptName(std::string_view pageFileName);

// What the form's HTML needs for the document's choice. `pageFileName` is the page's name on
// the web server ("MyPage.html"), after which the script is named. The built-in preview leaves
// out the field hidden from people, which it cannot hide.
TFormTarget FormTargetOf(const TPagelette& document, std::string_view pageFileName, bool preview);

// The field that people never fill in: a name none of the form's own controls submits.
std::string HoneypotName(const TPagelette& document);

// One row of the mail: the field's name as the user typed it and what its controls submit.
struct TMailField {
    std::string label;
    std::vector<std::string> names;
};

// The fields in the form's order; a name that an earlier field already submits is left to it,
// and fields that submit nothing (buttons) are left out.
std::vector<TMailField> MailFields(const TPagelette& document);

// The submitted name of the visitor's own e-mail address (the field bank's "E-Mail"); empty
// when the form has no such field.
std::string VisitorEmailName(const TPagelette& document);

// What is wrong with the address of a form service, in a sentence for the user; nothing when
// it is a web address a form can post to.
std::optional<std::string> FormServiceProblem(std::string_view address);

}  // namespace tessel
