#include <gtest/gtest.h>

#include <string>

#include "formfields/core/FieldBank.h"
#include "html/Routines.h"

namespace tessel {
namespace {

const std::string kDelivered = std::string(TESSEL_SOURCE_DATA) + "/Fields.ini";

TEST(DeliveredFieldsTest, EveryChoiceFieldOfBothListsHasItsOptions) {
    const auto common = ReadBankSection(kDefaultFieldsSection, kDelivered);
    const auto bank = ReadBankSection(kFieldBankSection, kDelivered);
    ASSERT_TRUE(common && bank);
    EXPECT_EQ(*common, BuiltInCommonFields());
    EXPECT_GT(bank->size(), common->size());
    for (const auto* list : {&*common, &*bank}) {
        for (const TBankField& field : *list) {
            TFormElement element;
            FillBasicField(element, field, kDelivered);
            if (field.Kind == fkRadio || field.Kind == fkCheckBox || field.Kind == fkDropDown) {
                EXPECT_GE(element.Strings().Count(), 2) << field.Name;
            }
        }
    }
}

TEST(DeliveredFieldsTest, StatesMonthsAndYears) {
    TFormElement state;
    FillBasicField(state, {"State", fkDropDown}, kDelivered);
    // Fifty states, the District of Columbia, ten provinces and three territories.
    EXPECT_EQ(state.Strings().Count(), 64);
    EXPECT_EQ(state.Strings().lines.front(), "AL|Alabama");
    EXPECT_EQ(state.Strings().lines.back(), "YT|Yukon");

    TFormElement month;
    FillBasicField(month, {"Credit Card Exp Month", fkDropDown}, kDelivered);
    ASSERT_EQ(month.Strings().Count(), 12);
    EXPECT_EQ(month.Strings().lines[11], "12|December");

    TFormElement year;
    FillBasicField(year, {"Credit Card Exp Year", fkDropDown}, kDelivered);
    ASSERT_GE(year.Strings().Count(), 5);
    for (int i = 1; i < year.Strings().Count(); ++i) {
        EXPECT_EQ(std::stoi(TextBeforeBar(year.Strings().lines[i])),
                  std::stoi(TextBeforeBar(year.Strings().lines[i - 1])) + 1);
    }
}

}  // namespace
}  // namespace tessel
