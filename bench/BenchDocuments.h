#pragma once

#include <memory>

#include "document/Pagelette.h"

namespace tessel {

// A page of `blocks` blocks after the page settings, cycling through every block kind
// with texts of realistic length; the one e-mail form sits in the middle and has a field
// of every kind.
std::unique_ptr<TPagelette> MakeBenchDocument(int blocks);

}  // namespace tessel
