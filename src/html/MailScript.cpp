#include "html/MailScript.h"

#include <map>
#include <stdexcept>

#include "html/FormDelivery.h"
#include "html/Routines.h"
#include "platform/PageCharset.h"

namespace tessel {
namespace {

constexpr std::string_view kTokenMark = "@@";

// The script sends UTF-8; a document made by an 8-bit program holds windows-1252 texts.
std::string AsUtf8(std::string_view text) {
    return IsValidUtf8(text) ? std::string(text) : DecodePage(text);
}

std::string TextLiteral(std::string_view text) {
    return PhpStringLiteral(AsUtf8(text));
}

const char* BooleanLiteral(bool value) {
    return value ? "true" : "false";
}

std::string FieldsLiteral(const TPagelette& document) {
    std::string literal = "[";
    for (const TMailField& field : MailFields(document)) {
        literal += "\n    [" + TextLiteral(field.label) + ", [";
        for (size_t i = 0; i < field.names.size(); ++i) {
            if (i > 0)
                literal += ", ";
            literal += TextLiteral(field.names[i]);
        }
        literal += "]],";
    }
    literal += literal.size() > 1 ? "\n]" : "]";
    return literal;
}

}  // namespace

std::string PhpStringLiteral(std::string_view text) {
    // In a single-quoted literal only the backslash and the quote mean anything.
    std::string literal = "'";
    for (const char c : text) {
        if (c == '\\' || c == '\'')
            literal += '\\';
        literal += c;
    }
    literal += '\'';
    return literal;
}

std::string FillTemplate(std::string_view text,
                         const std::vector<std::pair<std::string, std::string>>& values) {
    std::map<std::string, std::pair<const std::string*, int>, std::less<>> byName;
    for (const auto& [name, value] : values) byName[name] = {&value, 0};
    std::string out;
    size_t at = 0;
    for (size_t open = text.find(kTokenMark); open != std::string_view::npos;
         open = text.find(kTokenMark, at)) {
        const size_t close = text.find(kTokenMark, open + kTokenMark.size());
        if (close == std::string_view::npos)
            throw std::logic_error("mail script template: unfinished token");
        const std::string_view name =
            text.substr(open + kTokenMark.size(), close - open - kTokenMark.size());
        const auto found = byName.find(name);
        if (found == byName.end())
            throw std::logic_error("mail script template: no value for " + std::string(name));
        out.append(text.substr(at, open - at));
        out += *found->second.first;
        ++found->second.second;
        at = close + kTokenMark.size();
    }
    out.append(text.substr(at));
    for (const auto& [name, use] : byName) {
        if (use.second != 1)
            throw std::logic_error("mail script template: " + name + " is not used once");
    }
    return out;
}

std::string MailScriptText(const TPagelette& document, std::string_view pageFileName) {
    return FillTemplate(MailScriptTemplate(),
                        {
                            {"RECIPIENTS", TextLiteral(document.Email)},
                            {"SUBJECT", TextLiteral(document.Subject)},
                            {"REDIRECT", TextLiteral(document.Redirect)},
                            {"PAGE", TextLiteral(pageFileName)},
                            {"FIELDS", FieldsLiteral(document)},
                            {"EMAIL_FIELD", TextLiteral(VisitorEmailName(document))},
                            {"HONEYPOT", TextLiteral(HoneypotName(document))},
                            {"SORT", BooleanLiteral(document.AlphaSort)},
                            {"BLANK_FIELDS", BooleanLiteral(document.BlankFields)},
                            {"PRINT_EMAIL", BooleanLiteral(document.EmailAddress)},
                            {"PRINT_SUBJECT", BooleanLiteral(document.EmailSubject)},
                            {"REPORT_BROWSER", BooleanLiteral(document.BrowserUsed)},
                            {"REPORT_HOST", BooleanLiteral(document.HostName)},
                            {"REPORT_ADDRESS", BooleanLiteral(document.EnvReport)},
                        });
}

}  // namespace tessel
