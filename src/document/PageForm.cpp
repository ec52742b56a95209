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

std::string NameValueOf(const TStringList& list, std::string_view name) {
    for (const std::string& line : list.lines) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos &&
            SameText(std::string_view(line).substr(0, equals), name)) {
            return line.substr(equals + 1);
        }
    }
    return {};
}

}  // namespace tessel
