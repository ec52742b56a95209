#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "document/Persistence.h"
#include "themes/core/WebTheme.h"

namespace tessel {
namespace {

// The themes delivered with the program: a "Default" with the colours of a new page first,
// distinct names, and every background picture present in the folder and small.
TEST(DeliveredThemes, DefaultFirstAndEveryPictureDelivered) {
    const std::string data = std::string(TESSEL_SOURCE_DATA) + "/";
    const std::unique_ptr<TWebTheme> themes = LoadThemes(data);
    const TThemeCollection& items = themes->Items();
    ASSERT_GE(items.Count(), 12);

    const TThemeItem& first = items.Items(0);
    EXPECT_EQ(first.ThemeName, "Default");
    EXPECT_EQ(first.BGImage, "");
    EXPECT_EQ(first.LeftMargin, "0");
    EXPECT_EQ(first.BGColor, RGB(255, 255, 255));
    EXPECT_EQ(first.TextColor, RGB(0, 0, 0));
    EXPECT_EQ(first.LinkColor, RGB(0, 0, 255));
    EXPECT_EQ(first.ALinkColor, RGB(255, 0, 0));
    EXPECT_EQ(first.VLinkColor, RGB(153, 0, 153));

    for (int i = 0; i < items.Count(); ++i) {
        const TThemeItem& item = items.Items(i);
        SCOPED_TRACE(item.ThemeName);
        EXPECT_EQ(themes->IndexOfTheme(item.ThemeName), i) << "names must be distinct";
        EXPECT_NE(item.TextColor, item.BGColor);
        if (item.BGImage.empty())
            continue;
        const std::filesystem::path picture = data + "Upload/backgrounds/" + item.BGImage;
        ASSERT_TRUE(std::filesystem::is_regular_file(picture));
        EXPECT_LT(std::filesystem::file_size(picture), 16u * 1024u);
    }
}

}  // namespace
}  // namespace tessel
