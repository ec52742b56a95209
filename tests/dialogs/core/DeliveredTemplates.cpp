#include "dialogs/core/DeliveredTemplates.h"

#include "formfields/core/FieldStrings.h"
#include "html/PageHtml.h"
#include "html/Routines.h"
#include "themes/core/WebTheme.h"

namespace tessel::testing {

namespace {

// Builds one page block by block, in the order the user drops them.
class TPageBuilder {
  public:
    TPageBuilder(const TWebTheme& themes, const std::string& theme, const std::string& title,
                 const std::string& description) {
        document_ = std::make_unique<TPagelette>();
        SetDefaultBlocks(*document_);
        while (document_->Page().Count() > 1) document_->Page().Delete(1);
        ApplyTheme(themes, themes.IndexOfTheme(theme), *document_);
        TPagePropertiesBlock& settings = Settings();
        settings.PageTitle = title;
        // No margin table, and fitted to phones and today's browsers.
        settings.IndentMargin = "0";
        settings.FitScreens = true;
        settings.Language = "en";
        settings.MetaText = "description\t" + description + "\r\n";
        textColor_ = settings.TextColor;
    }

    TPageBuilder& Heading(const std::string& text, int points, TBlockAlignment align = baCenter) {
        TPageItem& item = Add(btHeading);
        item.BlockAlign = align;
        item.HeadingBlock().Heading = text;
        item.HeadingBlock().Attributes = Font(points, true);
        item.HeadingBlock().ApplyFont = 1;
        return *this;
    }
    TPageBuilder& Text(const std::string& text, TBlockAlignment align = baLeft) {
        TPageItem& item = Add(btText);
        item.BlockAlign = align;
        item.TextBlock().Text = text;
        item.TextBlock().Attributes = Font(12, false);
        item.TextBlock().ApplyFont = 1;
        return *this;
    }
    TPageBuilder& Bullets(const std::string& lines, TListStyle style = lsDisc) {
        TPageItem& item = Add(btBullet);
        item.BulletBlock().Bullets = lines;
        item.BulletBlock().Style = style;
        return *this;
    }
    TPageBuilder& Link(const std::string& address, const std::string& text, bool email = false) {
        TLinkBlock& link = Add(btLink).LinkBlock();
        link.LinkURL = address;
        link.LinkText = text;
        link.Email = email;
        return *this;
    }
    TPageBuilder& DropBox(const std::string& entries) {
        TLinkBlock& link = Add(btLink).LinkBlock();
        link.UseDropBox = true;
        link.DropBoxText = entries;
        return *this;
    }
    TPageBuilder& Picture(const std::string& file, const std::string& alt) {
        TPageItem& item = Add(btImage);
        item.BlockAlign = baCenter;
        TImageBlock& image = item.ImageBlock();
        image.FileName = file;
        image.Width = "320";
        image.Height = "213";
        image.Alt = alt;
        return *this;
    }
    TPageBuilder& Rule() {
        TPageItem& item = Add(btHR);
        item.BlockAlign = baCenter;
        item.HRBlock().Width = 80;
        item.HRBlock().NoShade = true;
        return *this;
    }

    TPageBuilder& Form(const std::string& email, const std::string& subject,
                       const std::string& title) {
        Add(btForms);
        document_->Email = email;
        document_->Subject = subject;
        document_->Redirect = "https://www.example.com/thanks.html";
        document_->FormTitle = title;
        document_->FormFooter = true;
        document_->EmailAddress = true;
        return *this;
    }
    TPageBuilder& Field(TFieldKind kind, const std::string& name, const std::string& label,
                        std::vector<TChoiceRow> choices = {}) {
        TFieldValues values;
        values.Kind = kind;
        values.Name = name;
        values.Text = label;
        values.Choices = std::move(choices);
        StoreFieldValues(values, document_->WebForm().Add());
        return *this;
    }

    TDeliveredTemplate Finish(const std::string& fileName) {
        return {fileName, std::move(document_)};
    }

  private:
    TPagePropertiesBlock& Settings() { return document_->Page().Items(0).PagePropertiesBlock(); }
    TPageItem& Add(TBlockType kind) {
        return InitNewBlock(*document_, document_->Page().Count(), kind);
    }
    std::string Font(int points, bool bold) const {
        TFontValue font;
        font.Name = "Arial";
        font.Size = points;
        font.Color = textColor_;
        font.Bold = bold;
        return FontToDescription(font);
    }

    std::unique_ptr<TPagelette> document_;
    TColor textColor_ = 0;
};

}  // namespace

std::vector<TDeliveredTemplate> BuildDeliveredTemplates(const std::string& dataFolder) {
    const std::unique_ptr<TWebTheme> themes = LoadThemes(dataFolder);
    std::vector<TDeliveredTemplate> templates;

    templates.push_back(
        TPageBuilder(*themes, "Plain Paper", "About Me", "A few words about me")
            .Heading("Hello, I'm Sam Example", 18)
            .Text("Welcome to my own corner of the web. Replace these words with a few of your "
                  "own: where you live, what you do, and what you love doing.")
            .Rule()
            .Heading("Things I enjoy", 14, baLeft)
            .Bullets("Walking in the hills\r\nBaking bread on Sundays\r\nReading crime "
                     "novels\r\nPlaying the piano, badly\r\n")
            .Heading("Say hello", 14, baLeft)
            .Text("I am always glad to hear from old friends and new ones.")
            .Link("sam@example.com", "Write me an e-mail", true)
            .Finish("Personal Page.pgt"));

    templates.push_back(
        TPageBuilder(*themes, "Soft Grid", "Example Bakery", "Fresh bread and cakes every day")
            .Heading("Example Bakery", 18)
            .Text("Fresh bread, cakes and pastries, baked every morning in the heart of town.",
                  baCenter)
            .Rule()
            .Heading("Opening hours", 14, baLeft)
            .Bullets("Monday to Friday: 7 am to 6 pm\r\nSaturday: 8 am to 2 pm\r\nSunday: "
                     "closed\r\n")
            .Heading("Find us", 14, baLeft)
            .Text("12 Market Street, Exampletown\r\nTelephone 01234 567890")
            .Link("https://www.example.com/menu.html", "See what we bake this week")
            .Link("orders@example.com", "Order a cake for your party", true)
            .Finish("Small Business.pgt"));

    templates.push_back(
        TPageBuilder(*themes, "Sunset", "Riverside Chess Club", "Club news and dates")
            .Heading("Riverside Chess Club", 18)
            .Text("We meet every Tuesday from 7 pm in the library's reading room. Players of "
                  "every strength are welcome, and boards are provided.",
                  baCenter)
            .Rule()
            .Heading("Coming up", 14, baLeft)
            .Bullets("3 June: Summer blitz tournament\r\n17 June: Simultaneous display\r\n1 "
                     "July: Annual meeting and barbecue\r\n",
                     lsNum)
            .Heading("More about the club", 14, baLeft)
            .DropBox("https://www.example.org/results.html\tResults\r\n"
                     "https://www.example.org/members.html\tMembers\r\n"
                     "https://www.example.org/directions.html\tHow to find us\r\n")
            .Link("secretary@example.org", "Write to the secretary", true)
            .Finish("Club or Event.pgt"));

    templates.push_back(
        TPageBuilder(*themes, "Midnight", "Summer Photos", "Pictures from our summer")
            .Heading("Our Summer in Pictures", 18)
            .Text("A few favourites from the long days. Choose your own pictures in the image "
                  "blocks to make this page yours.",
                  baCenter)
            .Picture("sample-morning.jpg", "Morning over the hills")
            .Text("Morning over the hills", baCenter)
            .Picture("sample-summer.jpg", "A bright afternoon")
            .Text("A bright afternoon", baCenter)
            .Picture("sample-evening.jpg", "The last light of the day")
            .Text("The last light of the day", baCenter)
            .Finish("Photo Page.pgt"));

    templates.push_back(
        TPageBuilder(*themes, "Linen", "My Favourite Links", "Links I use every day")
            .Heading("My Favourite Links", 18)
            .Text("The pages I visit most, in one place. Replace them with your own.", baCenter)
            .Rule()
            .Heading("Every day", 14, baLeft)
            .Link("https://www.example.com/news", "The morning news")
            .Link("https://www.example.com/weather", "Weather for the week")
            .Link("https://www.example.net/recipes", "Something good to cook")
            .Heading("Now and then", 14, baLeft)
            .DropBox("https://www.example.org/trains\tTrain times\r\n"
                     "https://www.example.org/library\tThe library catalogue\r\n"
                     "https://www.example.net/maps\tMaps\r\n")
            .Finish("Link Collection.pgt"));

    templates.push_back(
        TPageBuilder(*themes, "Plain Paper", "Contact Us", "Write to us")
            .Heading("Contact Us", 18)
            .Text("Questions, orders or a kind word: fill in the form and we will answer "
                  "within a day.",
                  baCenter)
            .Rule()
            .Form("hello@example.com", "A message from the web page", "Write to us")
            .Field(fkText, "Name", "Your name")
            .Field(fkText, "E-Mail", "Your e-mail address")
            .Field(fkDropDown, "Topic", "What is it about?",
                   {{"question", "A question", "No"},
                    {"order", "An order", "No"},
                    {"feedback", "Feedback", "No"}})
            .Field(fkRadio, "Reply By", "How shall we answer?",
                   {{"email", "By e-mail", "Yes"}, {"phone", "By phone", "No"}})
            .Field(fkText, "Phone", "Your phone number (if we should call)")
            .Field(fkCheckBox, "Newsletter", "Keep me posted",
                   {{"yes", "Send me the monthly newsletter", "No"}})
            .Field(fkTextArea, "Message", "Your message")
            .Finish("Contact Page.pgt"));
    return templates;
}

std::string TemplateHtml(TPagelette& document) {
    std::vector<std::string> lines;
    TGenerateOptions options;
    options.mode = omLocalCopy;
    GeneratePage(document, lines, options);
    return PageText(lines);
}

}  // namespace tessel::testing
