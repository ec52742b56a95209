#include "pagerules/BlockKinds.h"

namespace tessel {
namespace {

struct TKindLook {
    const char* caption;
    const char* icon;
};

constexpr TKindLook kLooks[] = {
    {"Page Details", "imgProp"}, {"Heading", "imgHeading"}, {"Image", "imgImage"},
    {"Link", "imgLink"},         {"Paragraph", "imgText"},  {"Bullet List", "imgBullet"},
    {"Line", "imgHR"},           {"Forms", "imgForms"},
};

const TKindLook& Look(TBlockType kind) {
    return kLooks[kind <= btForms ? kind : btPageProperties];
}

}  // namespace

const char* BlockCaption(TBlockType kind) {
    return Look(kind).caption;
}
const char* BlockIconName(TBlockType kind) {
    return Look(kind).icon;
}

TBlockType PaletteKind(int paletteIndex) {
    if (paletteIndex < 0 || paletteIndex >= kPaletteCount)
        return btHeading;
    return static_cast<TBlockType>(btHeading + paletteIndex);
}

}  // namespace tessel
