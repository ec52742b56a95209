#include "pagerules/PictureSizes.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(PictureSizes, ThePageShowsItsColumnOrTwiceADesktopColumn) {
    EXPECT_EQ(WidestPictureShown("0"), 1200);
    // Any other text makes the margin table, "00" too.
    EXPECT_EQ(WidestPictureShown("00"), 600);
    EXPECT_EQ(WidestPictureShown("130"), 470);
    EXPECT_EQ(WidestPictureShown(" 20"), 580);
    for (const char* margin : {"", "20px", "600", "5000"})
        EXPECT_EQ(WidestPictureShown(margin), std::nullopt) << margin;
}

TEST(PictureSizes, TheCopyKeepsTheProportionsAndOnlyWiderPicturesGetOne) {
    EXPECT_EQ(ScaledPictureSize({1600, 1200}, 1200), (TPictureSize{1200, 900}));
    EXPECT_EQ(ScaledPictureSize({1601, 1001}, 470), (TPictureSize{470, 294}));
    EXPECT_EQ(ScaledPictureSize({4000, 2}, 470), (TPictureSize{470, 1}));
    EXPECT_EQ(ScaledPictureSize({1200, 5000}, 1200), std::nullopt);
    EXPECT_EQ(ScaledPictureSize({800, 600}, 1200), std::nullopt);
    EXPECT_EQ(ScaledPictureSize({0, 0}, 1200), std::nullopt);
}

TEST(PictureSizes, TheCopyIsNamedAfterThePictureAndItsWidth) {
    EXPECT_EQ(ScaledPictureName("photo.jpg", 1200), "photo-1200.jpg");
    EXPECT_EQ(ScaledPictureName("My trip.2024.JPG", 470), "My trip.2024-470.JPG");
    EXPECT_EQ(ScaledPictureName("scan", 600), "scan-600");
    EXPECT_EQ(ScaledPictureName(".jpg", 600), ".jpg-600");
}

TEST(PictureSizes, FileSizesReadAsBytesKilobytesOrMegabytes) {
    EXPECT_EQ(FileSizeText(1), "1 byte");
    EXPECT_EQ(FileSizeText(850), "850 bytes");
    EXPECT_EQ(FileSizeText(1024), "1 KB");
    EXPECT_EQ(FileSizeText(743424), "726 KB");
    EXPECT_EQ(FileSizeText(1048063), "1023 KB");
    EXPECT_EQ(FileSizeText(1048064), "1.0 MB");
    EXPECT_EQ(FileSizeText(2516582), "2.4 MB");
}

TEST(PictureSizes, ATypedSideGivesTheOtherInProportion) {
    EXPECT_EQ(ProportionalSide("600", 1200, 900), 450);
    EXPECT_EQ(ProportionalSide(" 450 ", 900, 1200), 600);
    EXPECT_EQ(ProportionalSide("1", 3, 2), 1);  // 0.67 rounds up
    EXPECT_EQ(ProportionalSide("0", 3, 2), 0);
    for (const char* typed : {"", " ", "abc", "50%", "-5", "+5", "1.5", "99999999999"})
        EXPECT_EQ(ProportionalSide(typed, 1200, 900), std::nullopt) << typed;
    EXPECT_EQ(ProportionalSide("2000000000", 1, 3), std::nullopt);
    EXPECT_EQ(ProportionalSide("600", 0, 0), std::nullopt);  // no picture known
}

}  // namespace
}  // namespace tessel
