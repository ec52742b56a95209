#pragma once

// What a form field's editor exchanges with the field: the plain values of the dialog, and the
// kind-specific lines of the field's Strings they are kept in.

#include <string>
#include <string_view>
#include <vector>

#include "document/PageForm.h"

namespace tessel {

// "Text Box", "Text Area", "Radio Button", "Check Box", "Drop Down", "Button".
const char* FieldKindName(TFieldKind kind);
// A kind from its number 0 to 5; anything else is no kind.
bool IsFieldKind(int value);

// Rewrites the "name=value" line named `name` where it stands, or appends it.
void SetNameValue(TStringList& list, std::string_view name, std::string_view value);

// One row of the choice list of a radio group, check box group or drop-down list.
struct TChoiceRow {
    std::string Value;
    std::string Text;
    std::string Mark;  // "Yes" or "No"; empty for drop-down options

    bool operator==(const TChoiceRow&) const = default;
};

// "value|text|mark" and "value|text"; a "|" inside a part is dropped so that the line splits
// back into the same parts.
std::string ChoiceLine(const TChoiceRow& row);
std::string OptionLine(const TChoiceRow& row);

// Everything the field editor shows of one field.
struct TFieldValues {
    TFieldKind Kind = fkText;
    std::string Name;
    std::string Text;  // lines joined by CR LF
    std::string Value;
    std::string Size = "30";
    std::string Cols = "30";
    std::string Rows = "15";
    std::vector<TChoiceRow> Choices;

    bool operator==(const TFieldValues&) const = default;
};

// The editor's values of a field of kind `kind`.
TFieldValues LoadFieldValues(const TFormElement& field, TFieldKind kind);
// Writes the editor's values into a field; lines of Strings the editor does not own (such
// as "Maxlength") stay where they are.
void StoreFieldValues(const TFieldValues& values, TFormElement& field);

// "Form Field (<kind>) - <name>".
std::string FieldEditorCaption(TFieldKind kind, const std::string& name);

}  // namespace tessel
