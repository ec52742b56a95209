#pragma once

// How the palette and the block list show each kind of block.

#include "document/Pagelette.h"

namespace tessel {

// "Page Details", "Heading", "Image", "Link", "Paragraph", "Bullet List", "Line", "Forms".
const char* BlockCaption(TBlockType kind);
// The picture of the kind's editor panel header: "imgProp", "imgHeading", ...
const char* BlockIconName(TBlockType kind);

// The palette offers the kinds from btHeading to btForms, in that order.
inline constexpr int kPaletteCount = 7;
TBlockType PaletteKind(int paletteIndex);

}  // namespace tessel
