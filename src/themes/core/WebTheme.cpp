#include "themes/core/WebTheme.h"

#include "document/Pagelette.h"
#include "document/Stream.h"

namespace tessel {

const TClassInfo& TThemeItem::ClassInfo() const {
    using C = TThemeItem;
    static const TClassInfo info{"TThemeItem",
                                 nullptr,
                                 {
                                     StringProperty("ThemeName", &C::ThemeName),
                                     StringProperty("BGImage", &C::BGImage),
                                     StringProperty("LeftMargin", &C::LeftMargin),
                                     IntegerProperty("BGColor", &C::BGColor),
                                     IntegerProperty("TextColor", &C::TextColor),
                                     IntegerProperty("LinkColor", &C::LinkColor),
                                     IntegerProperty("ALinkColor", &C::ALinkColor),
                                     IntegerProperty("VLinkColor", &C::VLinkColor),
                                 }};
    return info;
}

void TThemeItem::Assign(const TThemeItem& source) {
    ThemeName = source.ThemeName;
    BGImage = source.BGImage;
    LeftMargin = source.LeftMargin;
    BGColor = source.BGColor;
    TextColor = source.TextColor;
    LinkColor = source.LinkColor;
    ALinkColor = source.ALinkColor;
    VLinkColor = source.VLinkColor;
}

const TClassInfo& TThemeCollection::ClassInfo() const {
    static const TClassInfo info{"TThemeCollection", nullptr, {}};
    return info;
}

TWebTheme::TWebTheme() : items_(std::make_unique<TThemeCollection>(this)) {}

const TClassInfo& TWebTheme::ClassInfo() const {
    static const TClassInfo info{
        "TWebTheme",
        &TComponentClassInfo(),
        {ObjectProperty<TWebTheme>("Items", [](TWebTheme& t) { return &t.Items(); })}};
    return info;
}

void TWebTheme::SetItems(const TThemeCollection& source) {
    if (&source == items_.get()) {
        return;
    }
    items_->Clear();
    for (int i = 0; i < source.Count(); ++i) {
        items_->Add().Assign(source.Items(i));
    }
}

int TWebTheme::IndexOfTheme(const std::string& name) const {
    for (int i = 0; i < items_->Count(); ++i) {
        if (SameText(items_->Items(i).ThemeName, name)) {
            return i;
        }
    }
    return -1;
}

void RegisterThemeStoreClass() {
    ClassRegistry().Register("TWebTheme", [] { return std::make_unique<TWebTheme>(); });
}

std::unique_ptr<TWebTheme> LoadThemes(const std::string& programFolder) {
    RegisterThemeStoreClass();
    std::unique_ptr<TComponent> root = ReadComponentFile(programFolder + kThemeFileName);
    if (dynamic_cast<TWebTheme*>(root.get()) == nullptr) {
        throw EStreamError("Invalid class typecast");
    }
    return std::unique_ptr<TWebTheme>(static_cast<TWebTheme*>(root.release()));
}

void SaveThemes(const std::string& programFolder, TWebTheme& themes) {
    WriteComponentFile(programFolder + kThemeFileName, themes);
}

void ApplyTheme(const TWebTheme& themes, int index, TPagelette& document) {
    if (index < 0) {
        return;
    }
    const TThemeItem& theme = themes.Items().Items(index);
    TPagePropertiesBlock& page = document.Page().Items(0).PagePropertiesBlock();
    page.ThemeName = theme.ThemeName;
    page.Background = theme.BGImage;
    page.IndentMargin = theme.LeftMargin;
    page.BGColor = theme.BGColor;
    page.TextColor = theme.TextColor;
    page.LinkColor = theme.LinkColor;
    page.ALinkColor = theme.ALinkColor;
    page.VLinkColor = theme.VLinkColor;
}

}  // namespace tessel
