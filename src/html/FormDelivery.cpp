#include "html/FormDelivery.h"

#include <set>

#include "html/FormHtml.h"
#include "html/Routines.h"

namespace tessel {
namespace {

bool HasFormsBlock(TPagelette& document) {
    TPageCollection& page = document.Page();
    for (int i = 1; i < page.Count(); ++i) {
        if (page.Items(i).BlockType == btForms)
            return true;
    }
    return false;
}

std::set<std::string> AllSubmittedNames(const TPagelette& document) {
    std::set<std::string> names;
    const TWebForm& form = document.WebForm();
    for (int i = 0; i < form.Count(); ++i) {
        for (std::string& name : SubmittedNames(form.Items(i))) names.insert(std::move(name));
    }
    return names;
}

// Bytes outside the few that a path segment may hold as they are become %XX, so that a page
// name with "#", "?" or a space still reaches its script.
std::string PathSegment(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
            (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' || c == '~') {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

}  // namespace

TFormDelivery FormDeliveryOf(std::string_view formService) {
    if (formService.empty())
        return TFormDelivery::HostFormMail;
    if (formService == kFormServiceScript)
        return TFormDelivery::MailScript;
    return TFormDelivery::FormService;
}

TFormDelivery FormDeliveryOf(const TPagelette& document) {
    return FormDeliveryOf(document.FormService);
}

bool UsesMailScript(TPagelette& document) {
    return FormDeliveryOf(document) == TFormDelivery::MailScript &&
           document.WebForm().Count() > 0 && HasFormsBlock(document);
}

std::string MailScriptName(std::string_view pageFileName) {
    const std::string_view base = pageFileName.substr(0, pageFileName.find_last_of('.'));
    // A page not yet named (".html") still gets a script name of its own.
    return base.empty() ? std::string("mail.php") : std::string(base) + "-mail.php";
}

TFormTarget FormTargetOf(const TPagelette& document, std::string_view pageFileName, bool preview) {
    TFormTarget target;
    switch (FormDeliveryOf(document)) {
        case TFormDelivery::HostFormMail:
            break;
        case TFormDelivery::FormService:
            target.action = document.FormService;
            break;
        case TFormDelivery::MailScript:
            target.action = PathSegment(MailScriptName(pageFileName));
            // The script has its settings written in; FormMail's hidden fields would only
            // show the owner's address to anyone reading the page.
            target.serviceFields = false;
            target.utf8 = true;
            if (!preview)
                target.honeypot = HoneypotName(document);
            break;
    }
    return target;
}

std::string HoneypotName(const TPagelette& document) {
    const std::set<std::string> taken = AllSubmittedNames(document);
    std::string name = "website_url";
    for (int n = 2; taken.count(name) != 0; ++n) name = "website_url_" + std::to_string(n);
    return name;
}

std::vector<TMailField> MailFields(const TPagelette& document) {
    std::vector<TMailField> fields;
    std::set<std::string> claimed;
    const TWebForm& form = document.WebForm();
    for (int i = 0; i < form.Count(); ++i) {
        const TFormElement& element = form.Items(i);
        TMailField field;
        field.label = element.Name;
        for (std::string& name : SubmittedNames(element)) {
            // A browser leaves out a control without a name.
            if (!name.empty() && claimed.insert(name).second)
                field.names.push_back(std::move(name));
        }
        if (!field.names.empty())
            fields.push_back(std::move(field));
    }
    return fields;
}

std::string VisitorEmailName(const TPagelette& document) {
    const TWebForm& form = document.WebForm();
    for (int i = 0; i < form.Count(); ++i) {
        const TFormElement& element = form.Items(i);
        const std::string name = FieldNameHTML(element.Name);
        if (element.FieldKind == fkText && (name == "e-mail" || name == "email"))
            return name;
    }
    return {};
}

std::optional<std::string> FormServiceProblem(std::string_view address) {
    const std::string lowered = LowerCase(address);
    size_t host = 0;
    for (const char* scheme : {"https://", "http://"}) {
        if (lowered.rfind(scheme, 0) == 0)
            host = std::char_traits<char>::length(scheme);
    }
    if (host == 0 || host >= lowered.size() || lowered[host] == '/') {
        return "Type the web address your form service gave you for this form; it starts with "
               "https:// (or http://).";
    }
    if (address.find_first_of(" \t\r\n\"<>") != std::string_view::npos) {
        return "The address of the form service cannot hold spaces, line breaks, quotes or "
               "angle brackets.";
    }
    return std::nullopt;
}

}  // namespace tessel
