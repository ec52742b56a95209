#include <gtest/gtest.h>

#include "document/Pagelette.h"
#include "html/FormHtml.h"
#include "html/MakerAddresses.h"

namespace tessel {
namespace {

const std::string kFormStart =
    std::string("<FORM ACTION=\"") + kFormMailAction + "\" METHOD=\"POST\">\r\n";
const std::string kButtons =
    R"(<TR><TD COLSPAN=2><INPUT TYPE="SUBMIT">&nbsp;&nbsp;<INPUT TYPE="RESET"></TD></TR>)";

TFormElement& AddField(TPagelette& doc, TFieldKind kind, const std::string& name,
                       std::vector<std::string> strings = {}) {
    TFormElement& field = doc.WebForm().Add();
    field.FieldKind = kind;
    field.Name = name;
    field.Strings().lines = std::move(strings);
    return field;
}

TEST(FormHTMLTest, AllOptionsOffGivesThreeHiddenFieldsAndAPlainTable) {
    TPagelette doc;
    doc.Email = "me@x.example";
    doc.Subject = "100% feedback";
    EXPECT_EQ(doc.FormHTML(),
              kFormStart +
                  "<INPUT TYPE=\"HIDDEN\" NAME=\"recipient\" VALUE=\"me@x.example\">\r\n"
                  "<INPUT TYPE=\"HIDDEN\" NAME=\"subject\" VALUE=\"100% feedback\">\r\n"
                  "<INPUT TYPE=\"HIDDEN\" NAME=\"redirect\" VALUE=\"\">\r\n"
                  "<TABLE CELLPADDING=2 WIDTH=100%>\r\n" +
                  kButtons + "</TABLE></FORM>");
}

TEST(FormHTMLTest, AllOptionsOnInOrder) {
    TPagelette doc;
    doc.Email = "me@x.example";
    doc.Redirect = "http://x.example/thanks.html";
    doc.AlphaSort = doc.BlankFields = doc.Border = doc.BrowserUsed = doc.HostName = true;
    doc.EnvReport = doc.EmailAddress = doc.EmailSubject = doc.FormFooter = true;
    doc.FormTitle = "Contact";
    AddField(doc, fkButton, "b");
    EXPECT_EQ(
        doc.FormHTML(),
        kFormStart +
            "<INPUT TYPE=\"HIDDEN\" NAME=\"recipient\" VALUE=\"me@x.example\">\r\n"
            "<INPUT TYPE=\"HIDDEN\" NAME=\"subject\" VALUE=\"\">\r\n"
            "<INPUT TYPE=\"HIDDEN\" NAME=\"redirect\" VALUE=\"http://x.example/thanks.html\">\r\n"
            "<INPUT TYPE=\"HIDDEN\" NAME=\"sort\" VALUE=\"alphabetic\">\r\n"
            "<INPUT TYPE=\"HIDDEN\" NAME=\"print_blank_fields\" VALUE=\"1\">\r\n"
            "<INPUT TYPE=\"HIDDEN\" NAME=\"env_report\" "
            "VALUE=\"HTTP_USER_AGENT,REMOTE_HOST,REMOTE_ADDR\">\r\n"
            "<INPUT TYPE=\"HIDDEN\" NAME=\"print_config\" VALUE=\"email,subject\">\r\n"
            "<TABLE CELLPADDING=2 WIDTH=100% BORDER=1>\r\n"
            "<TR><TD WIDTH=100% VALIGN=TOP COLSPAN=2><FONT "
            "SIZE=5><B>Contact</B></FONT></TD></TR>\r\n"
            "<TR><TD WIDTH=30% VALIGN=TOP></TD><TD WIDTH=70% VALIGN=TOP></TD></TR>\r\n" +
            kButtons +
            "\r\n<TR><TD WIDTH=100% VALIGN=TOP COLSPAN=2><FONT SIZE=\"2\"><I>If you have any "
            "problems, please send an e-mail to <a href=\"mailto:me@x.example\">me@x.example</a>."
            "</I></FONT></TD></TR>\r\n</TABLE></FORM>");
}

TEST(FormHTMLTest, ReportAndConfigListsDropTheLeadingComma) {
    TPagelette doc;
    doc.HostName = doc.EnvReport = true;
    EXPECT_NE(doc.FormHTML().find("NAME=\"env_report\" VALUE=\"REMOTE_HOST,REMOTE_ADDR\""),
              std::string::npos);
    EXPECT_EQ(doc.FormHTML().find("print_config"), std::string::npos);
    doc.HostName = doc.EnvReport = false;
    doc.EmailSubject = true;
    EXPECT_NE(doc.FormHTML().find("NAME=\"print_config\" VALUE=\"subject\""), std::string::npos);
    EXPECT_EQ(doc.FormHTML().find("env_report"), std::string::npos);
}

TEST(RowHTMLTest, TextBoxAndTextArea) {
    TPagelette doc;
    TFormElement& box = AddField(doc, fkText, "First Name", {"Maxlength=100", "SIZE=40"});
    box.Value = "Ann";
    box.Text = "Your\r\nname:";
    EXPECT_EQ(box.RowHTML(),
              "<TR><TD WIDTH=30% VALIGN=TOP>Your<BR>name:</TD><TD WIDTH=70% VALIGN=TOP>"
              "<INPUT NAME=\"first_name\" VALUE=\"Ann\" SIZE=\"40\"></TD></TR>\r\n");
    TFormElement& area = AddField(doc, fkTextArea, "Comments", {"Rows=15", "Cols=30"});
    EXPECT_EQ(area.RowHTML(),
              "<TR><TD WIDTH=30% VALIGN=TOP></TD><TD WIDTH=70% VALIGN=TOP>"
              "<TEXTAREA COLS=\"30\" ROWS=\"15\" NAME=\"comments\" WRAP=\"VIRTUAL\"></TEXTAREA>"
              "</TD></TR>\r\n");
    TFormElement& bare = AddField(doc, fkTextArea, "X", {});
    EXPECT_NE(bare.RowHTML().find("<TEXTAREA COLS=\"\" ROWS=\"\" NAME=\"x\""), std::string::npos);
    EXPECT_EQ(doc.WebForm().RowsHTML(), box.RowHTML() + area.RowHTML() + bare.RowHTML());
}

TEST(ChoiceInputsHTMLTest, CheckBoxesGetNamesOfTheirOwn) {
    TPagelette doc;
    TFormElement& boxes = AddField(doc, fkCheckBox, "Hot Drinks",
                                   {"tea|Green Tea|YES", "no bar here", "coffee|Black Coffee|No"});
    EXPECT_EQ(ChoiceInputsHTML(boxes),
              "\r\n<INPUT TYPE=\"CheckBox\" NAME=\"hot_drinks_green_tea\" VALUE=\"tea\" CHECKED> "
              "Green Tea<BR>\r\n"
              "<INPUT TYPE=\"CheckBox\" NAME=\"hot_drinks_black_coffee\" VALUE=\"coffee\"> "
              "Black Coffee<BR>\r\n");
}

TEST(ChoiceInputsHTMLTest, RadioButtonsShareTheFieldName) {
    TPagelette doc;
    TFormElement& radio = AddField(doc, fkRadio, "Age Group", {"young|Young|no", "old|yes"});
    // A line of two parts takes its second part as the flag and has no caption.
    EXPECT_EQ(radio.RowHTML(),
              "<TR><TD WIDTH=30% VALIGN=TOP></TD><TD WIDTH=70% VALIGN=TOP>\r\n"
              "<INPUT TYPE=\"Radio\" NAME=\"age_group\" VALUE=\"young\"> Young<BR>\r\n"
              "<INPUT TYPE=\"Radio\" NAME=\"age_group\" VALUE=\"old\" CHECKED> <BR>\r\n"
              "</TD></TR>\r\n");
}

TEST(OptionListHTMLTest, DropDownOptions) {
    TPagelette doc;
    TFormElement& list = AddField(doc, fkDropDown, "Colour", {"r|Red", "Plain"});
    EXPECT_EQ(OptionListHTML(list),
              "\r\n<OPTION VALUE=\"\">Select\r\n<OPTION VALUE=\"\">----------\r\n"
              "<OPTION VALUE=\"r\">Red\r\n<OPTION VALUE=\"\">Plain\r\n");
    EXPECT_EQ(list.RowHTML(),
              "<TR><TD WIDTH=30% VALIGN=TOP></TD><TD WIDTH=70% VALIGN=TOP>"
              "<SELECT NAME=\"colour\">" +
                  OptionListHTML(list) + "</SELECT></TD></TR>\r\n");
}

TEST(FormHTMLTest, QuotesInAttributeValuesBecomeEntitiesAndTextStaysAsTyped) {
    TPagelette doc;
    doc.Email = R"(me"@x.example)";
    doc.Subject = R"(The "feedback")";
    doc.Redirect = R"(thanks.html?"x")";
    doc.FormFooter = true;
    doc.FormTitle = R"(Say "hi")";
    TFormElement& box = AddField(doc, fkText, R"(Nick "Name")", {R"(Size=3"0)"});
    box.Value = R"("Ann")";
    box.Text = R"(Your "nick":)";
    AddField(doc, fkTextArea, R"(No"te)", {R"(Cols="3)", R"(Rows=4")"});
    AddField(doc, fkCheckBox, "Pick", {R"(t"ea|Green "Tea"|yes)"});
    AddField(doc, fkRadio, R"(R"adio)", {R"(o"ld|Old "one"|no)"});
    AddField(doc, fkDropDown, R"(C"olour)", {R"(r"ed|Red "hot")"});
    EXPECT_EQ(
        doc.FormHTML(),
        kFormStart +
            "<INPUT TYPE=\"HIDDEN\" NAME=\"recipient\" VALUE=\"me&quot;@x.example\">\r\n"
            "<INPUT TYPE=\"HIDDEN\" NAME=\"subject\" VALUE=\"The &quot;feedback&quot;\">\r\n"
            "<INPUT TYPE=\"HIDDEN\" NAME=\"redirect\" VALUE=\"thanks.html?&quot;x&quot;\">\r\n"
            "<TABLE CELLPADDING=2 WIDTH=100%>\r\n"
            "<TR><TD WIDTH=100% VALIGN=TOP COLSPAN=2><FONT SIZE=5><B>Say \"hi\"</B></FONT>"
            "</TD></TR>\r\n"
            "<TR><TD WIDTH=30% VALIGN=TOP>Your \"nick\":</TD><TD WIDTH=70% VALIGN=TOP>"
            "<INPUT NAME=\"nick_&quot;name&quot;\" VALUE=\"&quot;Ann&quot;\" SIZE=\"3&quot;0\">"
            "</TD></TR>\r\n"
            "<TR><TD WIDTH=30% VALIGN=TOP></TD><TD WIDTH=70% VALIGN=TOP>"
            "<TEXTAREA COLS=\"&quot;3\" ROWS=\"4&quot;\" NAME=\"no&quot;te\" WRAP=\"VIRTUAL\">"
            "</TEXTAREA></TD></TR>\r\n"
            "<TR><TD WIDTH=30% VALIGN=TOP></TD><TD WIDTH=70% VALIGN=TOP>\r\n"
            "<INPUT TYPE=\"CheckBox\" NAME=\"pick_green_&quot;tea&quot;\" VALUE=\"t&quot;ea\" "
            "CHECKED> Green \"Tea\"<BR>\r\n"
            "</TD></TR>\r\n"
            "<TR><TD WIDTH=30% VALIGN=TOP></TD><TD WIDTH=70% VALIGN=TOP>\r\n"
            "<INPUT TYPE=\"Radio\" NAME=\"r&quot;adio\" VALUE=\"o&quot;ld\"> Old \"one\"<BR>\r\n"
            "</TD></TR>\r\n"
            "<TR><TD WIDTH=30% VALIGN=TOP></TD><TD WIDTH=70% VALIGN=TOP>"
            "<SELECT NAME=\"c&quot;olour\">\r\n<OPTION VALUE=\"\">Select\r\n"
            "<OPTION VALUE=\"\">----------\r\n<OPTION VALUE=\"r&quot;ed\">Red \"hot\"\r\n"
            "</SELECT></TD></TR>\r\n" +
            kButtons +
            "\r\n<TR><TD WIDTH=100% VALIGN=TOP COLSPAN=2><FONT SIZE=\"2\"><I>If you have any "
            "problems, please send an e-mail to <a href=\"mailto:me&quot;@x.example\">"
            "me\"@x.example</a>.</I></FONT></TD></TR>\r\n</TABLE></FORM>");
}

}  // namespace
}  // namespace tessel
