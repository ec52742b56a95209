#include "document/PageForm.h"

namespace tessel {

const TEnumInfo& FieldKindInfo() {
    static const TEnumInfo info{
        "TFieldKind", {"fkText", "fkTextArea", "fkRadio", "fkCheckBox", "fkDropDown", "fkButton"}};
    return info;
}

TFormElement::TFormElement() : strings_(std::make_unique<TStringList>()) {}

const TClassInfo& TFormElement::ClassInfo() const {
    static const TClassInfo info{
        "TFormElement",
        nullptr,
        {
            EnumProperty("FieldKind", &TFormElement::FieldKind, FieldKindInfo()),
            StringProperty("Name", &TFormElement::Name),
            ObjectProperty<TFormElement>("Strings", [](TFormElement& e) { return &e.Strings(); }),
            StringProperty("Text", &TFormElement::Text),
            StringProperty("Value", &TFormElement::Value),
        }};
    return info;
}

const TClassInfo& TWebForm::ClassInfo() const {
    static const TClassInfo info{"TWebForm", nullptr, {}};
    return info;
}

}  // namespace tessel
