#include <gtest/gtest.h>

#include "app/core/PageLanguages.h"

namespace tessel {
namespace {

TEST(PageLanguagesTest, ChoicesReadBackAsTheirTags) {
    for (const TPageLanguage& language : CommonPageLanguages())
        EXPECT_EQ(LanguageTagOf(LanguageChoiceText(language.tag)), language.tag);
    EXPECT_EQ(LanguageChoiceText("de"), "German (de)");
    EXPECT_EQ(LanguageChoiceText("DE"), "German (de)");
    EXPECT_EQ(LanguageChoiceText("de-CH"), "de-CH");
}

TEST(PageLanguagesTest, TypedTextIsATagANameOrNothing) {
    EXPECT_EQ(LanguageTagOf(" de-CH "), "de-CH");
    EXPECT_EQ(LanguageTagOf("pt-BR"), "pt-BR");
    EXPECT_EQ(LanguageTagOf("zh-Hant-TW"), "zh-Hant-TW");
    EXPECT_EQ(LanguageTagOf("es-419"), "es-419");
    EXPECT_EQ(LanguageTagOf("french"), "fr");
    EXPECT_EQ(LanguageTagOf("Swiss German (de-CH)"), "de-CH");
    for (const char* wrong : {"", "  ", "e", "en_US", "en-", "-en", "en--US", "1en", "Klingon!",
                              "en-abcdefghi", "\"><script>", "()"})
        EXPECT_EQ(LanguageTagOf(wrong), "") << wrong;
}

}  // namespace
}  // namespace tessel
