#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "html/FormDelivery.h"
#include "html/MailScript.h"
#include "html/PageHtml.h"
#include "html/Routines.h"

namespace tessel {
namespace {

// A page with a form of every kind, as the forms panel makes it.
class FormDeliveryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetDefaultBlocks(page_);
        InitNewBlock(page_, 4, btForms);
        page_.Email = "club@x.example";
        page_.Subject = "Bookings";
        Add(fkText, "Full Name", {"Size=30"});
        Add(fkText, "E-Mail", {"Size=30", "Maxlength=100"});
        Add(fkTextArea, "Comments", {"Cols=30", "Rows=5"});
        Add(fkRadio, "Boat", {"s|Sculls|No", "e|Eights|Yes", "no bar"});
        Add(fkCheckBox, "Extras", {"c|Coaching|Yes", "k|Kit \"hire\"|No"});
        Add(fkDropDown, "Day", {"sa|Saturday", "su|Sunday"});
        Add(fkButton, "Send Now", {});
    }

    void Add(TFieldKind kind, const std::string& name, std::vector<std::string> lines) {
        TFormElement& field = page_.WebForm().Add();
        field.FieldKind = kind;
        field.Name = name;
        field.Strings().lines = std::move(lines);
    }

    std::string Html(TOutputMode mode, const std::string& pageName = "Club.html") {
        std::vector<std::string> lines;
        TGenerateOptions options;
        options.mode = mode;
        options.pageFileName = pageName;
        GeneratePage(page_, lines, options);
        return PageText(lines);
    }

    TPagelette page_;
};

TEST_F(FormDeliveryTest, TheHostsFormMailIsTheFormAsItAlwaysWas) {
    EXPECT_EQ(FormDeliveryOf(page_), TFormDelivery::HostFormMail);
    EXPECT_FALSE(UsesMailScript(page_));
    EXPECT_EQ(page_.FormHTML(FormTargetOf(page_, "Club.html", false)), page_.FormHTML());
    EXPECT_NE(Html(omServerCopy).find(page_.FormHTML()), std::string::npos);
}

TEST_F(FormDeliveryTest, AFormServiceGetsTheFormWithItsHiddenFields) {
    page_.FormService = "https://forms.x.example/f/abc?a=1&b=\"2\"";
    EXPECT_EQ(FormDeliveryOf(page_), TFormDelivery::FormService);
    EXPECT_FALSE(UsesMailScript(page_));
    const std::string html = page_.FormHTML(FormTargetOf(page_, "Club.html", false));
    const std::string ours = page_.FormHTML();
    const std::string start =
        "<FORM ACTION=\"https://forms.x.example/f/abc?a=1&b=&quot;2&quot;\" METHOD=\"POST\">\r\n";
    ASSERT_EQ(html.rfind(start, 0), 0u) << html;
    EXPECT_EQ(html.substr(start.size()), ours.substr(ours.find("\r\n") + 2));
}

TEST_F(FormDeliveryTest, TheMailScriptGetsTheFieldsAndAHoneypotButNoSettings) {
    page_.FormService = kFormServiceScript;
    EXPECT_TRUE(UsesMailScript(page_));
    const std::string html = Html(omServerCopy, "My #1 Page.html");
    const size_t form = html.find("<FORM ");
    ASSERT_NE(form, std::string::npos);
    EXPECT_EQ(html.substr(form, html.find("<TABLE", form) - form),
              "<FORM ACTION=\"My%20%231%20Page-mail.php\" METHOD=\"POST\" "
              "ACCEPT-CHARSET=\"UTF-8\">\r\n"
              "<DIV STYLE=\"display:none\" ARIA-HIDDEN=\"true\"><INPUT NAME=\"website_url\" "
              "VALUE=\"\" TABINDEX=\"-1\" AUTOCOMPLETE=\"off\"></DIV>\r\n");
    EXPECT_EQ(html.find("club@x.example"), std::string::npos);
    EXPECT_EQ(html.find("TYPE=\"HIDDEN\""), std::string::npos);
    // The preview cannot hide a field, so it shows the form without it.
    EXPECT_EQ(Html(omPreview).find("website_url"), std::string::npos);
    EXPECT_NE(Html(omLocalCopy).find("website_url"), std::string::npos);

    // No form shown, no script: without fields, or without a forms block.
    page_.WebForm().Clear();
    EXPECT_FALSE(UsesMailScript(page_));
    Add(fkText, "Name", {});
    page_.Page().Delete(4);
    EXPECT_FALSE(UsesMailScript(page_));
}

// The script refuses every name it does not know, so it must know each name the page's
// controls submit, exactly as a browser sends it back.
TEST_F(FormDeliveryTest, TheScriptKnowsEveryNameTheFormSubmits) {
    page_.FormService = kFormServiceScript;
    Add(fkText, "website url", {});  // takes the honeypot's usual name
    Add(fkText, "full name", {});    // a second field of the same name
    const std::string html = Html(omServerCopy);
    std::set<std::string> submitted;
    const std::regex nameAttribute("NAME=\"([^\"]*)\"");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), nameAttribute);
         it != std::sregex_iterator(); ++it) {
        std::string name = (*it)[1];
        ReplaceText(name, "\"", "&quot;", 6);
        submitted.insert(name);
    }

    const std::string honeypot = HoneypotName(page_);
    EXPECT_EQ(honeypot, "website_url_2");
    std::set<std::string> known{honeypot};
    std::vector<std::string> labels;
    for (const TMailField& field : MailFields(page_)) {
        labels.push_back(field.label);
        known.insert(field.names.begin(), field.names.end());
    }
    EXPECT_EQ(submitted, known);
    EXPECT_EQ(known.count("extras_kit_\"hire\""), 1u);
    EXPECT_EQ(labels, (std::vector<std::string>{"Full Name", "E-Mail", "Comments", "Boat", "Extras",
                                                "Day", "website url"}));
    EXPECT_EQ(VisitorEmailName(page_), "e-mail");
}

TEST(MailScriptNameTest, NamedAfterThePageOnTheServer) {
    EXPECT_EQ(MailScriptName("MyPage.html"), "MyPage-mail.php");
    EXPECT_EQ(MailScriptName("a.b.html"), "a.b-mail.php");
    EXPECT_EQ(MailScriptName("index"), "index-mail.php");
    EXPECT_EQ(MailScriptName(".html"), "mail.php");
}

TEST(FormServiceProblemTest, OnlyAWebAddressWithAHost) {
    EXPECT_EQ(FormServiceProblem("https://forms.x.example/f/1"), std::nullopt);
    EXPECT_EQ(FormServiceProblem("HTTP://forms.x.example"), std::nullopt);
    for (const char* wrong :
         {"", "forms.x.example/f/1", "https://", "https:///f", "mailto:a@x.example",
          "javascript:alert(1)", "https://x.example/a b", "https://x.example/\"><b>"}) {
        EXPECT_NE(FormServiceProblem(wrong), std::nullopt) << wrong;
    }
}

TEST(PhpStringLiteralTest, OnlyBackslashAndQuoteAreEscaped) {
    EXPECT_EQ(PhpStringLiteral(""), "''");
    EXPECT_EQ(PhpStringLiteral("it's"), R"('it\'s')");
    // A trailing backslash would otherwise escape the closing quote.
    EXPECT_EQ(PhpStringLiteral(R"(a\'b\)"), R"('a\\\'b\\')");
    EXPECT_EQ(PhpStringLiteral("$x ?> \r\n"), "'$x ?> \r\n'");
}

TEST(FillTemplateTest, EachTokenOnceAndValuesAreNeverScannedAgain) {
    EXPECT_EQ(FillTemplate("a=@@A@@; b=@@B@@;", {{"A", "'@@B@@'"}, {"B", "2"}}), "a='@@B@@'; b=2;");
    EXPECT_THROW(FillTemplate("@@A@@ @@C@@", {{"A", "1"}}), std::logic_error);
    EXPECT_THROW(FillTemplate("@@A@@", {{"A", "1"}, {"B", "2"}}), std::logic_error);
    EXPECT_THROW(FillTemplate("@@A@@ @@A@@", {{"A", "1"}}), std::logic_error);
    EXPECT_THROW(FillTemplate("@@A", {{"A", "1"}}), std::logic_error);
}

TEST_F(FormDeliveryTest, TheScriptHoldsTheFormsSettingsAsLiterals) {
    page_.FormService = kFormServiceScript;
    page_.Subject = "Caf\xE9 'n' \\";  // windows-1252, from an 8-bit document
    page_.AlphaSort = page_.EnvReport = true;
    const std::string script = MailScriptText(page_, "Club.html");
    for (const char* line :
         {"const FORM_RECIPIENTS = 'club@x.example';",
          "const FORM_SUBJECT = 'Caf\xC3\xA9 \\'n\\' \\\\';", "const FORM_PAGE = 'Club.html';",
          "const FORM_SORT = true;", "const FORM_BLANK_FIELDS = false;",
          "const FORM_REPORT_ADDRESS = true;", "const FORM_EMAIL_FIELD = 'e-mail';",
          "    ['Extras', ['extras_coaching', 'extras_kit_\"hire\"']],"}) {
        EXPECT_NE(script.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(script.find("@@"), std::string::npos);
    EXPECT_EQ(script.rfind("<?php\n", 0), 0u);
}

}  // namespace
}  // namespace tessel
