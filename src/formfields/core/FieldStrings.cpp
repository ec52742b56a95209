#include "formfields/core/FieldStrings.h"

#include <array>

#include "html/Routines.h"

namespace tessel {

namespace {

constexpr std::array<const char*, 6> kKindNames = {"Text Box",  "Text Area", "Radio Button",
                                                   "Check Box", "Drop Down", "Button"};

std::string WithoutBars(std::string_view part) {
    std::string text(part);
    std::erase(text, '|');
    return text;
}

}  // namespace

const char* FieldKindName(TFieldKind kind) {
    return IsFieldKind(kind) ? kKindNames[kind] : "";
}

bool IsFieldKind(int value) {
    return value >= fkText && value <= fkButton;
}

void SetNameValue(TStringList& list, std::string_view name, std::string_view value) {
    std::string line = std::string(name) + "=" + std::string(value);
    for (std::string& existing : list.lines) {
        const size_t equals = existing.find('=');
        if (equals != std::string::npos &&
            SameText(std::string_view(existing).substr(0, equals), name)) {
            existing = std::move(line);
            return;
        }
    }
    list.Add(std::move(line));
}

std::string ChoiceLine(const TChoiceRow& row) {
    return WithoutBars(row.Value) + "|" + WithoutBars(row.Text) + "|" + WithoutBars(row.Mark);
}

std::string OptionLine(const TChoiceRow& row) {
    return WithoutBars(row.Value) + "|" + WithoutBars(row.Text);
}

TFieldValues LoadFieldValues(const TFormElement& field, TFieldKind kind) {
    TFieldValues values;
    values.Kind = kind;
    values.Name = field.Name;
    values.Text = field.Text;
    values.Value = field.Value;
    const TStringList& lines = field.Strings();
    switch (kind) {
        case fkText:
            values.Size = NameValueOf(lines, "Size");
            break;
        case fkTextArea:
            values.Cols = NameValueOf(lines, "Cols");
            values.Rows = NameValueOf(lines, "Rows");
            break;
        case fkRadio:
        case fkCheckBox:
            for (const std::string& line : lines.lines) {
                const size_t bar = line.find('|');
                if (bar == std::string::npos)
                    continue;
                const std::string_view rest = std::string_view(line).substr(bar + 1);
                values.Choices.push_back(
                    {line.substr(0, bar), TextBeforeBar(rest), TextAfterBar(rest)});
            }
            break;
        case fkDropDown:
            for (const std::string& line : lines.lines)
                values.Choices.push_back({TextBeforeBar(line), TextAfterBar(line), "No"});
            break;
        case fkButton:
            break;
    }
    return values;
}

void StoreFieldValues(const TFieldValues& values, TFormElement& field) {
    TStringList& lines = field.Strings();
    switch (values.Kind) {
        case fkText:
            SetNameValue(lines, "Size", values.Size);
            break;
        case fkTextArea:
            SetNameValue(lines, "Cols", values.Cols);
            SetNameValue(lines, "Rows", values.Rows);
            break;
        case fkRadio:
        case fkCheckBox:
            lines.Clear();
            for (const TChoiceRow& row : values.Choices) lines.Add(ChoiceLine(row));
            break;
        case fkDropDown:
            lines.Clear();
            for (const TChoiceRow& row : values.Choices) lines.Add(OptionLine(row));
            break;
        case fkButton:
            break;
    }
    field.FieldKind = values.Kind;
    field.Text = values.Text;
    field.Name = values.Name;
    field.Value = values.Value;
}

std::string FieldEditorCaption(TFieldKind kind, const std::string& name) {
    return std::string("Form Field (") + FieldKindName(kind) + ") - " + name;
}

}  // namespace tessel
