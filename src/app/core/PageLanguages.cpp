#include "app/core/PageLanguages.h"

#include "document/Persistence.h"

namespace tessel {

namespace {

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsAsciiAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A language tag as browsers read it: a language of two to eight letters, then parts of one
// to eight letters or digits, each after a hyphen.
bool IsLanguageTag(std::string_view text) {
    size_t partStart = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '-') {
            const char c = text[i];
            if (!IsAsciiAlpha(c) && !(partStart > 0 && c >= '0' && c <= '9'))
                return false;
            continue;
        }
        const size_t length = i - partStart;
        if (length < (partStart == 0 ? 2u : 1u) || length > 8)
            return false;
        partStart = i + 1;
    }
    return true;
}

}  // namespace

const std::vector<TPageLanguage>& CommonPageLanguages() {
    static const std::vector<TPageLanguage> languages{
        {"ar", "Arabic"},    {"zh", "Chinese"},    {"cs", "Czech"},     {"da", "Danish"},
        {"nl", "Dutch"},     {"en", "English"},    {"fi", "Finnish"},   {"fr", "French"},
        {"de", "German"},    {"el", "Greek"},      {"he", "Hebrew"},    {"hi", "Hindi"},
        {"hu", "Hungarian"}, {"id", "Indonesian"}, {"it", "Italian"},   {"ja", "Japanese"},
        {"ko", "Korean"},    {"no", "Norwegian"},  {"pl", "Polish"},    {"pt", "Portuguese"},
        {"ro", "Romanian"},  {"ru", "Russian"},    {"es", "Spanish"},   {"sv", "Swedish"},
        {"th", "Thai"},      {"tr", "Turkish"},    {"uk", "Ukrainian"}, {"vi", "Vietnamese"},
    };
    return languages;
}

std::string LanguageChoiceText(std::string_view tag) {
    for (const TPageLanguage& language : CommonPageLanguages()) {
        if (SameText(tag, language.tag))
            return std::string(language.name) + " (" + language.tag + ")";
    }
    return std::string(tag);
}

std::string LanguageTagOf(std::string_view choice) {
    std::string_view text = Trimmed(choice);
    if (!text.empty() && text.back() == ')') {
        const size_t open = text.rfind('(');
        if (open != std::string_view::npos)
            text = Trimmed(text.substr(open + 1, text.size() - open - 2));
    }
    for (const TPageLanguage& language : CommonPageLanguages()) {
        if (SameText(text, language.name))
            return language.tag;
    }
    return IsLanguageTag(text) ? std::string(text) : std::string();
}

}  // namespace tessel
