#include "BenchDocuments.h"

#include <string>

namespace tessel {

namespace {

const char* const kParagraph =
    "Our family bakery has served the village since 1952. Every morning we bake bread,\r\n"
    "rolls and seasonal cakes from local flour, and on Saturdays we open the garden for\r\n"
    "coffee. Orders for weddings and birthdays are welcome: call us or use the form below.";

const char* const kLinkList =
    "http://www.example.com/menu.html\tOur menu\r\n"
    "http://www.example.com/cakes.html\tCelebration cakes\r\n"
    "http://www.example.com/garden.html\tThe garden cafe\r\n"
    "mailto:orders@example.com\tOrder by e-mail\r\n";

const char* const kFont = R"("Arial", 14, [Bold|Italic], [clNavy])";

void FillBlock(TPageItem& item, int n) {
    const std::string number = std::to_string(n);
    switch (item.BlockType) {
        case btHeading:
            item.HeadingBlock().Heading = "Fresh from the oven, section " + number;
            item.HeadingBlock().Attributes = kFont;
            item.HeadingBlock().ApplyFont = 1;
            break;
        case btImage:
            item.ImageBlock().FileName = "loaf" + number + ".jpg";
            item.ImageBlock().Alt = "A loaf of rye bread";
            item.ImageBlock().Width = "200";
            item.ImageBlock().Height = "150";
            item.ImageBlock().Align = "LEFT";
            item.ImageBlock().ImageLink = "http://www.example.com/bread.html";
            break;
        case btLink:
            if (n % 2 == 0) {
                item.LinkBlock().DropBoxText = kLinkList;
                item.LinkBlock().UseDropBox = true;
            } else {
                item.LinkBlock().LinkURL = "http://www.example.com/page" + number + ".html";
                item.LinkBlock().LinkText = "Read more about item " + number;
            }
            break;
        case btText:
            item.TextBlock().Text = kParagraph;
            item.TextBlock().Attributes = kDefaultFontDescription;
            break;
        case btBullet:
            item.BulletBlock().Bullets = "Sourdough\r\nRye\r\nSpelt\r\nBrioche\r\nCroissants";
            item.BulletBlock().Style = static_cast<TListStyle>(n % 8);
            break;
        case btHR:
            item.HRBlock().Width = 80;
            item.HRBlock().Size = n % 6;
            item.HRBlock().NoShade = n % 2 == 0;
            break;
        case btPageProperties:
        case btForms:
            break;
    }
}

void FillForm(TPagelette& document) {
    document.Email = "orders@example.com";
    document.Subject = "Cake order";
    document.FormTitle = "Order a cake";
    document.AlphaSort = document.EnvReport = document.FormFooter = true;
    const TFieldKind kinds[] = {fkText, fkTextArea, fkRadio, fkCheckBox, fkDropDown, fkButton};
    for (TFieldKind kind : kinds) {
        TFormElement& field = document.WebForm().Add();
        field.FieldKind = kind;
        field.Name = "Field " + std::to_string(static_cast<int>(kind));
        field.Text = "Your choice";
        switch (kind) {
            case fkText:
                field.Strings().lines = {"Size=30"};
                break;
            case fkTextArea:
                field.Strings().lines = {"Cols=30", "Rows=15"};
                break;
            case fkRadio:
            case fkCheckBox:
                field.Strings().lines = {"s|Small|Yes", "m|Medium|No", "l|Large|No"};
                break;
            case fkDropDown:
                field.Strings().lines = {"choc|Chocolate", "lemon|Lemon"};
                break;
            case fkButton:
                break;
        }
    }
}

}  // namespace

std::unique_ptr<TPagelette> MakeBenchDocument(int blocks) {
    auto document = std::make_unique<TPagelette>();
    SetDefaultBlocks(*document);
    while (document->Page().Count() > 1) {
        document->Page().Delete(1);
    }
    document->Page().Items(0).PagePropertiesBlock().PageTitle = "The Village Bakery";
    document->Page().Items(0).PagePropertiesBlock().MetaText = "Keywords\tbakery, bread\r\n";
    const TBlockType kinds[] = {btHeading, btImage, btLink, btText, btBullet, btHR};
    for (int n = 0; n < blocks; ++n) {
        const TBlockType kind = n == blocks / 2 ? btForms : kinds[n % 6];
        FillBlock(InitNewBlock(*document, n + 1, kind), n);
    }
    FillForm(*document);
    return document;
}

}  // namespace tessel
