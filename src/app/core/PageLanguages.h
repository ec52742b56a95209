#pragma once

// The page language choice of the page details panel: common languages shown by name, and
// what the user picked or typed read back as a language tag ("en", "pt-BR").

#include <string>
#include <string_view>
#include <vector>

namespace tessel {

struct TPageLanguage {
    const char* tag;
    const char* name;
};

// The languages the choice lists, by name.
const std::vector<TPageLanguage>& CommonPageLanguages();

// How a tag is shown in the choice: "English (en)" for a listed language, the tag itself for
// any other.
std::string LanguageChoiceText(std::string_view tag);

// The tag of a choice: the one in a listed entry's brackets, a listed language typed by its
// name, or a tag typed as such. Anything else is no language tag and gives an empty text.
std::string LanguageTagOf(std::string_view choice);

}  // namespace tessel
