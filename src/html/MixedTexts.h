#pragma once

// Documents saved by the older 8-bit program hold windows-1252 texts; texts typed now are
// UTF-8. A page that mixes both can be declared in neither, so its HTML is made from a copy
// of the document in which every text that is not UTF-8 is converted.

#include <memory>

#include "document/Pagelette.h"

namespace tessel {

struct TUtf8Copy {
    std::unique_ptr<TPagelette> document;  // every stored text UTF-8
    bool heldUtf8 = false;                 // a text beyond ASCII was UTF-8 already
    bool held8Bit = false;                 // a text was converted
};

// A copy of `document` (which keeps its bytes; writing it fills its empty slots) with each
// stored text that is not valid UTF-8 read as windows-1252. Throws EStreamError when the
// document cannot be written.
TUtf8Copy Utf8CopyOf(TPagelette& document);

}  // namespace tessel
