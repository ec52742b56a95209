#pragma once

// The e-mail form's fields.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "document/Persistence.h"

namespace tessel {

enum TFieldKind : uint8_t { fkText, fkTextArea, fkRadio, fkCheckBox, fkDropDown, fkButton };

const TEnumInfo& FieldKindInfo();

class TFormElement final : public TCollectionItem {
  public:
    TFormElement();
    const TClassInfo& ClassInfo() const override;

    TFieldKind FieldKind = fkText;
    std::string Name;
    std::string Text;
    std::string Value;

    TStringList& Strings() { return *strings_; }
    const TStringList& Strings() const { return *strings_; }
    // Copies the lines of `list`.
    void SetStrings(const TStringList& list) { strings_->lines = list.lines; }

    // The table row (or rows) of this field in the form's HTML.
    std::string RowHTML() const;

  private:
    std::unique_ptr<TStringList> strings_;
};

class TWebForm final : public TTypedCollection<TFormElement> {
  public:
    const TClassInfo& ClassInfo() const override;

    // Every field's RowHTML, in order.
    std::string RowsHTML() const;
};

// The value of the "name=value" line of a field's Strings whose name (before its first "=")
// is `name`, compared without regard to case; empty when there is none.
std::string NameValueOf(const TStringList& list, std::string_view name);

}  // namespace tessel
