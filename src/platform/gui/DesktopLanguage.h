#pragma once

// The language of the user's desktop as a language tag, for pages that state their language.

#include <string>

namespace tessel {

// "en", "de-CH", ...: the system locale's tag; "en" when the desktop names none (the C locale).
std::string DesktopLanguage();

}  // namespace tessel
