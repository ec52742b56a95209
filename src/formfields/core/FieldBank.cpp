#include "formfields/core/FieldBank.h"

#include <algorithm>

#include "document/Numbers.h"
#include "html/Routines.h"
#include "platform/IniProfile.h"

namespace tessel {

namespace {

// The value of the first key named `key` (without regard to case); empty when missing.
std::string ValueOfKey(const TProfileEntries& entries, const std::string& key) {
    for (const auto& [name, value] : entries) {
        if (SameText(name, key))
            return value;
    }
    return {};
}

std::vector<std::string> RadioOptionLines(const TProfileEntries& entries,
                                          const std::string& section) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string value = ValueOfKey(entries, section + std::to_string(i));
        const size_t bar = value.find('|');
        if (bar == std::string::npos)
            continue;
        const std::string_view rest = std::string_view(value).substr(bar + 1);
        lines.push_back(value.substr(0, bar) + "|" + TextBeforeBar(rest) + "|" +
                        TextAfterBar(rest));
    }
    return lines;
}

std::vector<std::string> DropDownOptionLines(const TProfileEntries& entries,
                                             const std::string& section) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string value = ValueOfKey(entries, section + std::to_string(i));
        if (!value.empty())
            lines.push_back(TextBeforeBar(value) + "|" + TextAfterBar(value));
    }
    return lines;
}

}  // namespace

const std::vector<TBankField>& BuiltInCommonFields() {
    static const std::vector<TBankField> fields = {
        {"Name", fkText}, {"E-Mail", fkText},    {"Address", fkText},
        {"City", fkText}, {"State", fkDropDown}, {"Zip Code/Postal Code", fkText}};
    return fields;
}

const std::vector<TBankField>& BuiltInFieldBank() {
    static const std::vector<TBankField> fields = [] {
        std::vector<TBankField> bank = BuiltInCommonFields();
        bank.insert(bank.end(), {{"Comments", fkTextArea},
                                 {"Your Web Address", fkText},
                                 {"Company Name", fkText},
                                 {"Phone Number", fkText},
                                 {"Credit Card Type", fkRadio},
                                 {"Credit Card Number", fkText},
                                 {"Credit Card Exp Date", fkText}});
        return bank;
    }();
    return fields;
}

std::optional<TFieldKind> ParseBankFieldKind(const std::string& text) {
    if (text.empty() || text.front() < '0' || text.front() > '5')
        return std::nullopt;
    if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const std::optional<int32_t> value = TryStrToInt(text);
    if (!value || *value < fkText || *value > fkButton)
        return std::nullopt;
    return static_cast<TFieldKind>(*value);
}

std::optional<std::vector<TBankField>> ReadBankSection(const std::string& section,
                                                       const std::string& path) {
    const TProfileEntries entries = GetPrivateProfileSection(section, path);
    if (entries.empty())
        return std::nullopt;
    std::vector<TBankField> fields;
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string value = ValueOfKey(entries, "FIELD" + std::to_string(i));
        if (const auto kind = ParseBankFieldKind(TextAfterBar(value)))
            fields.push_back({TextBeforeBar(value), *kind});
    }
    return fields;
}

void WriteDefaultFields(const std::vector<TBankField>& fields, const std::string& path) {
    TProfileEntries entries;
    for (size_t i = 0; i < fields.size(); ++i) {
        entries.emplace_back("FIELD" + std::to_string(i),
                             fields[i].Name + "|" + std::to_string(fields[i].Kind));
    }
    WritePrivateProfileSection(kDefaultFieldsSection, entries, path);
}

std::string OptionListSection(const TBankField& field) {
    if (field.Kind == fkDropDown) {
        if (field.Name == "Credit Card Type")
            return "CREDIT";
        if (field.Name == "Credit Card Exp Year")
            return "YEAR";
        if (field.Name == "Credit Card Exp Month")
            return "MONTH";
    }
    return field.Name;
}

void FillBasicField(TFormElement& element, const TBankField& field, const std::string& path) {
    element.FieldKind = field.Kind;
    element.Name = field.Name;
    element.Text = field.Name;
    element.Value.clear();
    TStringList& lines = element.Strings();
    lines.Clear();
    switch (field.Kind) {
        case fkText:
            lines.lines = {"Size=30", "Maxlength=100"};
            break;
        case fkTextArea:
            lines.lines = {"Cols=30", "Rows=15"};
            break;
        case fkRadio:
        case fkCheckBox: {
            const std::string section = OptionListSection(field);
            lines.lines = RadioOptionLines(GetPrivateProfileSection(section, path), section);
            break;
        }
        case fkDropDown: {
            const std::string section = OptionListSection(field);
            lines.lines = DropDownOptionLines(GetPrivateProfileSection(section, path), section);
            break;
        }
        case fkButton:
            break;
    }
}

std::vector<TBankField> AppendBasicFields(TWebForm& form, const std::string& path) {
    const std::vector<TBankField> fields =
        ReadBankSection(kDefaultFieldsSection, path).value_or(std::vector<TBankField>{});
    for (const TBankField& field : fields) FillBasicField(form.Add(), field, path);
    return fields;
}

}  // namespace tessel
