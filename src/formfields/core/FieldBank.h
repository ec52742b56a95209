#pragma once

// The field bank file "Fields.ini": the user's common fields, the bank they are picked from,
// and the option lists that fill radio groups, check boxes and drop-down lists.

#include <optional>
#include <string>
#include <vector>

#include "document/PageForm.h"

namespace tessel {

inline constexpr const char* kFieldsFileName = "Fields.ini";
inline constexpr const char* kDefaultFieldsSection = "Default Fields";
inline constexpr const char* kFieldBankSection = "Field Bank";

// One row of the common list or of the field bank.
struct TBankField {
    std::string Name;
    TFieldKind Kind = fkText;

    bool operator==(const TBankField&) const = default;
};

// Used when the file lacks "Default Fields" (and restored by Reset) or "Field Bank".
const std::vector<TBankField>& BuiltInCommonFields();
const std::vector<TBankField>& BuiltInFieldBank();

// The kind of an entry: a whole decimal number from 0 to 5 that starts with a digit.
std::optional<TFieldKind> ParseBankFieldKind(const std::string& text);

// The entries FIELD0 to FIELD(n-1) of a section of n keys; entries of no valid kind are
// skipped. Nothing when the section holds no key.
std::optional<std::vector<TBankField>> ReadBankSection(const std::string& section,
                                                       const std::string& path);

// Replaces the section "Default Fields" by `fields` in one atomic write: a failed write throws
// ETesselError and leaves the previous file whole.
void WriteDefaultFields(const std::vector<TBankField>& fields, const std::string& path);

// The section that holds a field's option list.
std::string OptionListSection(const TBankField& field);
// A field as the field bank creates it: Name and Text are the name, Strings the kind's
// defaults or its option list.
void FillBasicField(TFormElement& element, const TBankField& field, const std::string& path);
// Appends the fields of "Default Fields" to `form`; returns them (none without that section).
std::vector<TBankField> AppendBasicFields(TWebForm& form, const std::string& path);

}  // namespace tessel
