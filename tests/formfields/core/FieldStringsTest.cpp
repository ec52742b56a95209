#include <gtest/gtest.h>

#include "formfields/core/FieldStrings.h"

namespace tessel {
namespace {

TFormElement FieldWith(TFieldKind kind, std::vector<std::string> lines) {
    TFormElement field;
    field.FieldKind = kind;
    field.Strings().lines = std::move(lines);
    return field;
}

TEST(FieldStringsTest, NameValueLinesAreRewrittenWhereTheyStandOrAppended) {
    TStringList list;
    list.lines = {"Maxlength=100", "size=30", "Other"};
    EXPECT_EQ(NameValueOf(list, "SIZE"), "30");
    EXPECT_EQ(NameValueOf(list, "Rows"), "");
    SetNameValue(list, "Size", "60");
    SetNameValue(list, "Rows", "4");
    EXPECT_EQ(list.lines,
              (std::vector<std::string>{"Maxlength=100", "Size=60", "Other", "Rows=4"}));
    // A value holding "=" is kept whole; only the first "=" ends the name.
    SetNameValue(list, "Rows", "a=b");
    EXPECT_EQ(NameValueOf(list, "rows"), "a=b");
}

TEST(FieldStringsTest, TextBoxFromTheBankKeepsItsMaxlengthLine) {
    TFormElement field = FieldWith(fkText, {"Size=30", "Maxlength=100"});
    TFieldValues values = LoadFieldValues(field, fkText);
    EXPECT_EQ(values.Size, "30");
    values.Size = "60";
    StoreFieldValues(values, field);
    EXPECT_EQ(field.Strings().lines, (std::vector<std::string>{"Size=60", "Maxlength=100"}));

    TFormElement fresh;
    TFieldValues added;
    added.Kind = fkText;
    added.Name = "Age";
    added.Text = "Your age\r\nin years";
    added.Size = "45";
    StoreFieldValues(added, fresh);
    EXPECT_EQ(fresh.Strings().lines, std::vector<std::string>{"Size=45"});
    EXPECT_EQ(fresh.Text, "Your age\r\nin years");
    EXPECT_EQ(LoadFieldValues(fresh, fkText), added);
}

TEST(FieldStringsTest, TextAreaWritesColsThenRows) {
    TFormElement field;
    TFieldValues values;
    values.Kind = fkTextArea;
    values.Cols = "40";
    values.Rows = "5";
    StoreFieldValues(values, field);
    EXPECT_EQ(field.Strings().lines, (std::vector<std::string>{"Cols=40", "Rows=5"}));
    EXPECT_EQ(field.FieldKind, fkTextArea);
    const TFieldValues loaded = LoadFieldValues(field, fkTextArea);
    EXPECT_EQ(loaded.Cols, "40");
    EXPECT_EQ(loaded.Rows, "5");
}

TEST(FieldStringsTest, ChoicesAreRebuiltWithoutBarsInsideTheirParts) {
    TFormElement field = FieldWith(fkRadio, {"old|line|Yes"});
    TFieldValues values;
    values.Kind = fkRadio;
    values.Choices = {{"a", "Apple", "Yes"}, {"b|", "Ban|ana", "No"}};
    StoreFieldValues(values, field);
    EXPECT_EQ(field.Strings().lines, (std::vector<std::string>{"a|Apple|Yes", "b|Banana|No"}));

    values.Kind = fkDropDown;
    values.Choices = {{"v", "x|y", "No"}};
    StoreFieldValues(values, field);
    EXPECT_EQ(field.Strings().lines, std::vector<std::string>{"v|xy"});
    EXPECT_EQ(field.FieldKind, fkDropDown);

    // A button owns no lines.
    values.Kind = fkButton;
    StoreFieldValues(values, field);
    EXPECT_EQ(field.Strings().lines, std::vector<std::string>{"v|xy"});
}

TEST(FieldStringsTest, ChoicesLoadBackFromTheirLines) {
    const TFormElement radio = FieldWith(fkCheckBox, {"a|Apple|Yes", "no bar", "b|only"});
    EXPECT_EQ(LoadFieldValues(radio, fkCheckBox).Choices,
              (std::vector<TChoiceRow>{{"a", "Apple", "Yes"}, {"b", "", "only"}}));
    const TFormElement list = FieldWith(fkDropDown, {"CA|California", "plain"});
    EXPECT_EQ(LoadFieldValues(list, fkDropDown).Choices,
              (std::vector<TChoiceRow>{{"CA", "California", "No"}, {"", "plain", "No"}}));
}

TEST(FieldStringsTest, KindNamesAndCaption) {
    EXPECT_STREQ(FieldKindName(fkDropDown), "Drop Down");
    EXPECT_STREQ(FieldKindName(fkButton), "Button");
    EXPECT_FALSE(IsFieldKind(6));
    EXPECT_EQ(FieldEditorCaption(fkText, "Untitled"), "Form Field (Text Box) - Untitled");
}

}  // namespace
}  // namespace tessel
