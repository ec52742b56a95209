#include "dialogs/core/MiscValues.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(MetaLines, SplitAtTheFirstTabAndJoinAgain) {
    EXPECT_EQ(SplitMetaLine("Keywords\tweb, page"), (TMetaTag{"Keywords", "web, page"}));
    EXPECT_EQ(SplitMetaLine("Description\ta\tb"), (TMetaTag{"Description", "a\tb"}));
    EXPECT_EQ(SplitMetaLine("\tonly content"), (TMetaTag{"", "only content"}));
    EXPECT_EQ(SplitMetaLine("no tab at all"), (TMetaTag{"", "no tab at all"}));
    EXPECT_EQ(SplitMetaLine("Expires\t"), (TMetaTag{"Expires", ""}));

    for (const char* line : {"Keywords\tweb, page", "Description\ta\tb", "Author\tme"}) {
        EXPECT_EQ(MetaLine(SplitMetaLine(line)), line);
    }
}

TEST(MetaLines, KnownNamesAndAcceptableTags) {
    EXPECT_EQ(MetaNameIndex("Description"), 0);
    EXPECT_EQ(MetaNameIndex("Reply-to"), 4);
    EXPECT_EQ(MetaNameIndex("keywords"), -1);
    EXPECT_EQ(MetaNameIndex(""), -1);
    EXPECT_EQ(MetaNameIndex("Author"), -1);

    EXPECT_TRUE(IsMetaTagAcceptable({"Keywords", "x"}));
    EXPECT_TRUE(IsMetaTagAcceptable({"", " "}));
    EXPECT_FALSE(IsMetaTagAcceptable({"Keywords", ""}));
}

TEST(FontSizes, EntriesAndPointSizes) {
    EXPECT_EQ(FontSizeIndex(20), 0);
    EXPECT_EQ(FontSizeIndex(12), 4);
    EXPECT_EQ(FontSizeIndex(8), 6);
    EXPECT_EQ(FontSizeIndex(11), -1);
    EXPECT_EQ(FontSizeIndex(0), -1);

    TFontValue font{"Arial", 11, clBlack, true, false, false};
    ApplyFontSize(font, 4);
    EXPECT_EQ(font.Size, 12);
    EXPECT_STREQ(kFontSizes[4].Text, "3");
    ApplyFontSize(font, 7);
    ApplyFontSize(font, -1);
    EXPECT_EQ(font.Size, 12);
    ApplyFontSize(font, 6);
    EXPECT_EQ(font, (TFontValue{"Arial", 8, clBlack, true, false, false}));
}

TEST(FontNames, FamiliesAsABrowserKnowsThem) {
    EXPECT_EQ(FontFamilyName("Nimbus Sans [urw]"), "Nimbus Sans");
    EXPECT_EQ(FontFamilyName("Nimbus Sans"), "Nimbus Sans");
    EXPECT_EQ(FontFamilyName("Odd [Name] [foundry]"), "Odd [Name]");
    EXPECT_EQ(FontFamilyName("[brackets]"), "[brackets]");
    EXPECT_EQ(FontFamilyName("Open [bracket"), "Open [bracket");
    EXPECT_EQ(FontFamilyName(""), "");

    using Names = std::vector<std::string>;
    EXPECT_EQ(FontFamilyNames({"Arial", "Nimbus Sans [urw]", "Nimbus Sans [GPL&GNU]",
                               "nimbus sans [other]", "Z [a]", "Arial [x]", "[b]"}),
              (Names{"Arial", "Nimbus Sans", "Z", "[b]"}));
    EXPECT_TRUE(FontFamilyNames({}).empty());
}

}  // namespace
}  // namespace tessel
