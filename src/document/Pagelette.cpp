#include "document/Pagelette.h"

#include "document/TextLines.h"

namespace tessel {

const TEnumInfo& BlockTypeInfo() {
    static const TEnumInfo info{"TBlockType",
                                {"btPageProperties", "btHeading", "btImage", "btLink", "btText",
                                 "btBullet", "btHR", "btForms"}};
    return info;
}

const TEnumInfo& BlockAlignmentInfo() {
    static const TEnumInfo info{"TBlockAlignment", {"baNone", "baLeft", "baCenter", "baRight"}};
    return info;
}

const TEnumInfo& ListStyleInfo() {
    static const TEnumInfo info{"TListStyle",
                                {"lsDisc", "lsCircle", "lsSquare", "lsUpCaseA", "lsLoCaseA",
                                 "lsNum", "lsUpCaseRoman", "lsLoCaseRoman"}};
    return info;
}

const TClassInfo& TPagePropertiesBlock::ClassInfo() const {
    using C = TPagePropertiesBlock;
    static const TClassInfo info{"TPagePropertiesBlock",
                                 nullptr,
                                 {
                                     StringProperty("PageTitle", &C::PageTitle),
                                     StringProperty("Background", &C::Background),
                                     StringProperty("MetaText", &C::MetaText),
                                     StringProperty("IndentMargin", &C::IndentMargin),
                                     StringProperty("ThemeName", &C::ThemeName),
                                     BooleanProperty("Underline", &C::Underline),
                                     IntegerProperty("BGColor", &C::BGColor),
                                     IntegerProperty("TextColor", &C::TextColor),
                                     IntegerProperty("LinkColor", &C::LinkColor),
                                     IntegerProperty("ALinkColor", &C::ALinkColor),
                                     IntegerProperty("VLinkColor", &C::VLinkColor),
                                     BooleanProperty("FitScreens", &C::FitScreens, false),
                                     StringProperty("Language", &C::Language),
                                 }};
    return info;
}

std::vector<std::string> TPagePropertiesBlock::MetaContents(std::string_view name) const {
    std::vector<std::string> contents;
    for (const std::string& line : SplitLines(MetaText)) {
        const size_t tab = line.find('\t');
        if (tab != std::string::npos && SameText(std::string_view(line).substr(0, tab), name))
            contents.push_back(line.substr(tab + 1));
    }
    return contents;
}

const TClassInfo& THeadingBlock::ClassInfo() const {
    using C = THeadingBlock;
    static const TClassInfo info{"THeadingBlock",
                                 nullptr,
                                 {
                                     StringProperty("Heading", &C::Heading),
                                     StringProperty("Attributes", &C::Attributes),
                                     ByteProperty("ApplyFont", &C::ApplyFont),
                                 }};
    return info;
}

const TClassInfo& TTextBlock::ClassInfo() const {
    using C = TTextBlock;
    static const TClassInfo info{"TTextBlock",
                                 nullptr,
                                 {
                                     StringProperty("Text", &C::Text),
                                     StringProperty("Attributes", &C::Attributes),
                                     ByteProperty("ApplyFont", &C::ApplyFont),
                                 }};
    return info;
}

const TClassInfo& TImageBlock::ClassInfo() const {
    using C = TImageBlock;
    static const TClassInfo info{"TImageBlock",
                                 nullptr,
                                 {
                                     StringProperty("FileName", &C::FileName),
                                     StringProperty("Height", &C::Height),
                                     StringProperty("Width", &C::Width),
                                     StringProperty("Align", &C::Align),
                                     StringProperty("Alt", &C::Alt),
                                     StringProperty("ImageLink", &C::ImageLink),
                                     StringProperty("ImagePath", &C::ImagePath),
                                 }};
    return info;
}

const TClassInfo& TLinkBlock::ClassInfo() const {
    using C = TLinkBlock;
    static const TClassInfo info{"TLinkBlock",
                                 nullptr,
                                 {
                                     StringProperty("LinkURL", &C::LinkURL),
                                     StringProperty("LinkText", &C::LinkText),
                                     StringProperty("DropBoxText", &C::DropBoxText),
                                     BooleanProperty("UseDropBox", &C::UseDropBox),
                                     StringProperty("Align", &C::Align),
                                     BooleanProperty("Email", &C::Email),
                                 }};
    return info;
}

const TClassInfo& TBulletBlock::ClassInfo() const {
    using C = TBulletBlock;
    static const TClassInfo info{"TBulletBlock",
                                 nullptr,
                                 {
                                     StringProperty("Bullets", &C::Bullets),
                                     EnumProperty("Style", &C::Style, ListStyleInfo()),
                                 }};
    return info;
}

const TClassInfo& THRBlock::ClassInfo() const {
    using C = THRBlock;
    static const TClassInfo info{"THRBlock",
                                 nullptr,
                                 {
                                     IntegerProperty("Width", &C::Width),
                                     IntegerProperty("Size", &C::Size),
                                     BooleanProperty("NoShade", &C::NoShade),
                                 }};
    return info;
}

const TClassInfo& TPageItem::ClassInfo() const {
    using C = TPageItem;
    static const TClassInfo info{
        "TPageItem",
        nullptr,
        {
            EnumProperty("BlockType", &C::BlockType, BlockTypeInfo()),
            EnumProperty("BlockAlign", &C::BlockAlign, BlockAlignmentInfo()),
            BooleanProperty("BlockOnNewLine", &C::BlockOnNewLine),
            ObjectProperty<C>(
                "PagePropertiesBlock", [](C& i) { return &i.PagePropertiesBlock(); },
                [](C& i) { i.ClearPagePropertiesBlock(); }),
            ObjectProperty<C>(
                "HeadingBlock", [](C& i) { return &i.HeadingBlock(); },
                [](C& i) { i.ClearHeadingBlock(); }),
            ObjectProperty<C>(
                "LinkBlock", [](C& i) { return &i.LinkBlock(); }, [](C& i) { i.ClearLinkBlock(); }),
            ObjectProperty<C>(
                "ImageBlock", [](C& i) { return &i.ImageBlock(); },
                [](C& i) { i.ClearImageBlock(); }),
            ObjectProperty<C>(
                "TextBlock", [](C& i) { return &i.TextBlock(); }, [](C& i) { i.ClearTextBlock(); }),
            ObjectProperty<C>(
                "BulletBlock", [](C& i) { return &i.BulletBlock(); },
                [](C& i) { i.ClearBulletBlock(); }),
            ObjectProperty<C>(
                "HRBlock", [](C& i) { return &i.HRBlock(); }, [](C& i) { i.ClearHRBlock(); }),
        }};
    return info;
}

int TPageItem::FilledSlotCount() const {
    return (pageProperties_ ? 1 : 0) + (heading_ ? 1 : 0) + (link_ ? 1 : 0) + (image_ ? 1 : 0) +
           (text_ ? 1 : 0) + (bullet_ ? 1 : 0) + (hr_ ? 1 : 0);
}

const TClassInfo& TPageCollection::ClassInfo() const {
    static const TClassInfo info{"TPageCollection", nullptr, {}};
    return info;
}

TPagelette::TPagelette()
    : page_(std::make_unique<TPageCollection>(this)), webForm_(std::make_unique<TWebForm>()) {}

const TClassInfo& TPagelette::ClassInfo() const {
    using C = TPagelette;
    static const TClassInfo info{
        "TPagelette",
        &TComponentClassInfo(),
        {
            ObjectProperty<C>("Page", [](C& d) { return &d.Page(); }),
            ObjectProperty<C>("WebForm", [](C& d) { return &d.WebForm(); }),
            BooleanProperty("AlphaSort", &C::AlphaSort),
            BooleanProperty("BlankFields", &C::BlankFields),
            BooleanProperty("Border", &C::Border),
            BooleanProperty("BrowserUsed", &C::BrowserUsed),
            StringProperty("Color", &C::Color),
            BooleanProperty("EmailAddress", &C::EmailAddress),
            BooleanProperty("EmailSubject", &C::EmailSubject),
            BooleanProperty("EnvReport", &C::EnvReport),
            StringProperty("FormTitle", &C::FormTitle),
            BooleanProperty("FormFooter", &C::FormFooter),
            BooleanProperty("HostName", &C::HostName),
            StringProperty("Email", &C::Email),
            StringProperty("Redirect", &C::Redirect),
            StringProperty("Subject", &C::Subject),
            StringProperty("FormService", &C::FormService),
        }};
    return info;
}

void TPagelette::ClearDocument(bool includePage) {
    if (includePage) {
        page_->Clear();
    }
    webForm_->Clear();
    AlphaSort = BlankFields = Border = BrowserUsed = false;
    EmailAddress = EmailSubject = EnvReport = FormFooter = HostName = false;
    Color.clear();
    FormTitle.clear();
    Email.clear();
    Redirect.clear();
    Subject.clear();
    FormService.clear();
}

TPageItem& InitNewBlock(TPagelette& document, int index, TBlockType kind) {
    TPageItem& item = document.Page().Insert(index);
    item.BlockType = kind;
    item.BlockOnNewLine = true;
    switch (kind) {
        case btHeading:
            item.BlockAlign = baCenter;
            item.HeadingBlock().Attributes = kDefaultFontDescription;
            break;
        case btText:
            item.BlockAlign = baLeft;
            item.TextBlock().Attributes = kDefaultFontDescription;
            break;
        case btHR:
            item.BlockAlign = baLeft;
            item.HRBlock().Width = 100;
            item.HRBlock().Size = 0;
            break;
        case btPageProperties:
            item.BlockAlign = baNone;
            break;
        case btImage:
        case btLink:
        case btBullet:
        case btForms:
            item.BlockAlign = baLeft;
            break;
    }
    return item;
}

void SetDefaultBlocks(TPagelette& document) {
    document.ClearDocument(true);
    TPageItem& settings = document.Page().Add();
    settings.BlockType = btPageProperties;
    settings.BlockAlign = baNone;
    settings.BlockOnNewLine = false;
    TPagePropertiesBlock& p = settings.PagePropertiesBlock();
    p.ThemeName = "Default";
    p.IndentMargin = "0";
    p.BGColor = RGB(255, 255, 255);
    p.TextColor = RGB(0, 0, 0);
    p.LinkColor = RGB(0, 0, 255);
    p.ALinkColor = RGB(255, 0, 0);
    p.VLinkColor = RGB(153, 0, 153);
    InitNewBlock(document, 1, btImage);
    InitNewBlock(document, 2, btLink);
    InitNewBlock(document, 3, btText);
}

}  // namespace tessel
