#pragma once

// How wide a page shows a picture, and the lighter copy the image panel offers for a picture
// wider than that: visitors would download pixels they never see.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessel {

struct TPictureSize {
    int width = 0;
    int height = 0;

    bool operator==(const TPictureSize&) const = default;
};

// The widest picture the page can show: its column, 600 pixels less the left margin, when the
// page has the margin table (any margin but "0"); 1,200 pixels otherwise, twice a desktop
// column, so a picture stays sharp on screens that scale the page. Nothing when the margin is
// not a number (the page cannot be written then) or leaves no column.
std::optional<int> WidestPictureShown(const std::string& indentMargin);

// The size of the copy `widest` pixels across, with the picture's proportions (at least one
// pixel tall); nothing when the picture is not wider than that.
std::optional<TPictureSize> ScaledPictureSize(TPictureSize picture, int widest);

// The copy's file name: its width after the name, "photo.jpg" at 1200 becomes
// "photo-1200.jpg". It never equals the picture's own name, so the copy cannot take the
// place of the picture it was made from.
std::string ScaledPictureName(std::string_view name, int width);

// A file size as a question names it: "850 bytes", "726 KB", "2.4 MB".
std::string FileSizeText(std::uintmax_t bytes);

// The other side of a picture when one side is typed, keeping the picture's proportions:
// `typed` for the side that is `typedSide` pixels in the picture, whose other side is
// `otherSide`. Nothing when the text is not a whole number or the picture's size is unknown.
std::optional<int> ProportionalSide(std::string_view typed, int typedSide, int otherSide);

}  // namespace tessel
