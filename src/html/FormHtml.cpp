#include "html/FormHtml.h"

#include "document/Pagelette.h"
#include "html/MakerAddresses.h"
#include "html/Routines.h"

namespace tessel {

namespace {

std::string HiddenField(const std::string& name, const std::string& value) {
    return "<INPUT TYPE=\"HIDDEN\" NAME=\"" + name + "\" VALUE=\"" + AttributeValue(value) +
           "\">\r\n";
}

// Each check box needs a name of its own; a radio group shares the field's name.
std::string ChoiceInputName(const TFormElement& field, const std::string& caption) {
    return field.FieldKind == fkCheckBox ? FieldNameHTML(field.Name + "_" + caption)
                                         : FieldNameHTML(field.Name);
}

// A field's row. With an `id` the label names the control, so that a click on it and a
// screen reader find the field; each radio button or check box is named by its caption.
std::string FieldRowHTML(const TFormElement& field, const std::string& id) {
    const std::string name = AttributeValue(FieldNameHTML(field.Name));
    std::string label = field.Text;
    ReplaceText(label, "<BR>", "\r\n", 2);
    const bool blankLabel = label.find_first_not_of(" \t") == std::string::npos;
    // A control without label words is named by the field's own name.
    const std::string idAttribute =
        id.empty() ? std::string()
                   : " ID=\"" + id + "\"" +
                         (blankLabel ? " ARIA-LABEL=\"" + AttributeValue(field.Name) + "\"" : "");
    std::string control;
    bool labelsControl = !id.empty();
    switch (field.FieldKind) {
        case fkText:
            control = "<INPUT NAME=\"" + name + "\" VALUE=\"" + AttributeValue(field.Value) +
                      "\" SIZE=\"" + AttributeValue(NameValueOf(field.Strings(), "Size")) + "\"" +
                      idAttribute + ">";
            break;
        case fkTextArea:
            control = "<TEXTAREA COLS=\"" + AttributeValue(NameValueOf(field.Strings(), "Cols")) +
                      "\" ROWS=\"" + AttributeValue(NameValueOf(field.Strings(), "Rows")) +
                      "\" NAME=\"" + name + "\" WRAP=\"VIRTUAL\"" + idAttribute + "></TEXTAREA>";
            break;
        case fkRadio:
        case fkCheckBox:
            control = ChoiceInputsHTML(field, !id.empty());
            labelsControl = false;
            break;
        case fkDropDown:
            control = "<SELECT NAME=\"" + name + "\"" + idAttribute + ">" + OptionListHTML(field) +
                      "</SELECT>";
            break;
        case fkButton:
            labelsControl = false;
            break;
    }
    if (labelsControl && !blankLabel)
        label = "<LABEL FOR=\"" + id + "\">" + label + "</LABEL>";
    return "<TR><TD WIDTH=30% VALIGN=TOP>" + label + "</TD><TD WIDTH=70% VALIGN=TOP>" + control +
           "</TD></TR>\r\n";
}

}  // namespace

std::string FieldNameHTML(const std::string& name) {
    std::string html = name;
    ReplaceText(html, "_", " ", 1);
    return LowerCase(html);
}

std::vector<std::string> SubmittedNames(const TFormElement& field) {
    switch (field.FieldKind) {
        case fkButton:
            return {};
        case fkCheckBox: {
            // The boxes ChoiceInputsHTML writes: one per "value|caption|flag" line.
            std::vector<std::string> names;
            for (const std::string& line : field.Strings().lines) {
                const size_t bar = line.find('|');
                if (bar != std::string::npos)
                    names.push_back(ChoiceInputName(field, TextBeforeBar(line.substr(bar + 1))));
            }
            return names;
        }
        default:
            return {FieldNameHTML(field.Name)};
    }
}

std::string ChoiceInputsHTML(const TFormElement& field, bool labelled) {
    std::string html = "\r\n";
    for (const std::string& line : field.Strings().lines) {
        const size_t bar = line.find('|');
        if (bar == std::string::npos)
            continue;
        const std::string value = line.substr(0, bar);
        const std::string_view rest = std::string_view(line).substr(bar + 1);
        const std::string caption = TextBeforeBar(rest);
        const std::string flag = TextAfterBar(rest);
        const std::string inputName = ChoiceInputName(field, caption);
        const size_t start = html.size();
        html += "<INPUT TYPE=\"";
        html += field.FieldKind == fkCheckBox ? "CheckBox" : "Radio";
        html +=
            "\" NAME=\"" + AttributeValue(inputName) + "\" VALUE=\"" + AttributeValue(value) + "\"";
        if (SameText(flag, "yes"))
            html += " CHECKED";
        html += "> " + caption;
        if (labelled) {
            html.insert(start, "<LABEL>");
            html += "</LABEL>";
        }
        html += "<BR>\r\n";
    }
    return html;
}

std::string OptionListHTML(const TFormElement& field) {
    std::string html = "\r\n<OPTION VALUE=\"\">Select\r\n<OPTION VALUE=\"\">----------\r\n";
    for (const std::string& line : field.Strings().lines) {
        html += "<OPTION VALUE=\"" + AttributeValue(TextBeforeBar(line)) + "\">" +
                TextAfterBar(line) + "\r\n";
    }
    return html;
}

std::string TFormElement::RowHTML() const {
    return FieldRowHTML(*this, {});
}

std::string TWebForm::RowsHTML() const {
    std::string rows;
    for (int i = 0; i < Count(); ++i) rows += Items(i).RowHTML();
    return rows;
}

std::string TPagelette::FormHTML() const {
    return FormHTML(TFormTarget{});
}

std::string TPagelette::FormHTML(const TFormTarget& target) const {
    std::string hidden = HiddenField("recipient", Email) + HiddenField("subject", Subject) +
                         HiddenField("redirect", Redirect);
    if (AlphaSort)
        hidden += HiddenField("sort", "alphabetic");
    if (BlankFields)
        hidden += HiddenField("print_blank_fields", "1");

    std::string env = BrowserUsed ? "HTTP_USER_AGENT" : "";
    if (HostName)
        env += ",REMOTE_HOST";
    if (EnvReport)
        env += ",REMOTE_ADDR";
    if (!env.empty()) {
        if (env.front() == ',')
            env.erase(0, 1);
        hidden += HiddenField("env_report", env);
    }

    std::string config = EmailAddress ? "email" : "";
    if (EmailSubject)
        config += ",subject";
    if (!config.empty()) {
        if (config.front() == ',')
            config.erase(0, 1);
        hidden += HiddenField("print_config", config);
    }

    std::string html = "<FORM ACTION=\"";
    html += target.action.empty() ? std::string(kFormMailAction) : AttributeValue(target.action);
    html += target.utf8 ? "\" METHOD=\"POST\" ACCEPT-CHARSET=\"UTF-8\">\r\n"
                        : "\" METHOD=\"POST\">\r\n";
    if (target.serviceFields)
        html += hidden;
    if (!target.honeypot.empty()) {
        // Hidden from people and screen readers alike; a program that fills in every field
        // fills it in too.
        html += "<DIV STYLE=\"display:none\" ARIA-HIDDEN=\"true\"><INPUT NAME=\"" +
                AttributeValue(target.honeypot) +
                "\" VALUE=\"\" TABINDEX=\"-1\" AUTOCOMPLETE=\"off\"></DIV>\r\n";
    }
    html += "<TABLE CELLPADDING=2 WIDTH=100%";
    if (Border)
        html += " BORDER=1";
    html += ">";
    if (!FormTitle.empty()) {
        html += "\r\n<TR><TD WIDTH=100% VALIGN=TOP COLSPAN=2><FONT SIZE=5><B>" + FormTitle +
                "</B></FONT></TD></TR>";
    }
    html += "\r\n";
    if (target.labels) {
        for (int i = 0; i < WebForm().Count(); ++i)
            html += FieldRowHTML(WebForm().Items(i), "field" + std::to_string(i + 1));
    } else {
        html += WebForm().RowsHTML();
    }
    html += "<TR><TD COLSPAN=2><INPUT TYPE=\"SUBMIT\">&nbsp;&nbsp;<INPUT TYPE=\"RESET\"></TD></TR>";
    if (FormFooter) {
        html +=
            "\r\n<TR><TD WIDTH=100% VALIGN=TOP COLSPAN=2><FONT SIZE=\"2\"><I>If you have any "
            "problems, please send an e-mail to <a href=\"mailto:" +
            AttributeValue(Email) + "\">" + Email + "</a>.</I></FONT></TD></TR>\r\n";
    }
    html += "</TABLE></FORM>";
    return html;
}

}  // namespace tessel
