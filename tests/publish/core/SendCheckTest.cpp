#include <gtest/gtest.h>

#include "document/PageForm.h"
#include "document/Pagelette.h"
#include "publish/core/SendCheck.h"
#include "support/TempFolder.h"

namespace tessel {
namespace {

class SendCheckTest : public ::testing::Test {
  protected:
    // A page with nothing to report: title, description, fitted to phones, background and
    // picture present, alternative text, a link with an address.
    void SetUp() override {
        SetDefaultBlocks(page_);
        Settings().PageTitle = "My page";
        Settings().MetaText = "Description\tAll about me\r\n";
        Settings().FitScreens = true;
        Settings().Background = "stone.jpg";
        folder_.Write("Upload/backgrounds/stone.jpg", "x");
        folder_.Write("Upload/images/dog.gif", "x");
        Image().FileName = "dog.gif";
        Image().Alt = "Our dog";
        Link().LinkText = "Club";
        Link().LinkURL = "http://club.example.org/";
    }

    TPagePropertiesBlock& Settings() { return page_.Page().Items(0).PagePropertiesBlock(); }
    TImageBlock& Image() { return page_.Page().Items(1).ImageBlock(); }
    TLinkBlock& Link() { return page_.Page().Items(2).LinkBlock(); }

    std::vector<TSendFinding> Check() { return CheckBeforeSending(page_, folder_.Path(), "en-GB"); }

    testing::TTempFolder folder_;
    TPagelette page_;
};

TEST_F(SendCheckTest, ACompletePageHasNoFindings) {
    EXPECT_TRUE(Check().empty());
    Settings().Background.clear();  // no background is no problem
    EXPECT_TRUE(Check().empty());
}

TEST_F(SendCheckTest, EachProblemIsFoundAndNamesItsBlock) {
    Settings().PageTitle = "  ";
    Image().Alt.clear();
    Link().LinkURL.clear();
    InitNewBlock(page_, 4, btForms);
    page_.WebForm().Add();
    page_.Email.clear();
    std::filesystem::remove(folder_.Path() + "Upload/images/dog.gif");

    const auto findings = Check();
    ASSERT_EQ(findings.size(), 6u);
    EXPECT_EQ(findings[0].problem, TSendProblem::NoTitle);
    EXPECT_EQ(findings[0].block, 0);
    EXPECT_EQ(findings[0].text.rfind("Block 1 (Page Details): the page has no title.", 0), 0u);
    EXPECT_EQ(findings[1].problem, TSendProblem::MissingPicture);
    EXPECT_EQ(findings[1].block, 1);
    EXPECT_EQ(findings[1].text.rfind("Block 2 (Image): the picture \"dog.gif\" is missing", 0), 0u);
    EXPECT_EQ(findings[2].problem, TSendProblem::NoAlternativeText);
    EXPECT_EQ(findings[2].text.rfind("Block 2 (Image): the picture has no alternative text", 0),
              0u);
    EXPECT_EQ(findings[3].problem, TSendProblem::NoLinkAddress);
    EXPECT_EQ(findings[3].text.rfind("Block 3 (Link): the link \"Club\" has no address", 0), 0u);
    EXPECT_EQ(findings[4].problem, TSendProblem::NoFormAddress);
    EXPECT_EQ(findings[4].block, 4);
    EXPECT_EQ(findings[4].text.rfind("Block 5 (Forms): the e-mail form has no address", 0), 0u);
    EXPECT_EQ(findings[5].problem, TSendProblem::FormMailOnHost);
    EXPECT_EQ(findings[5].block, 4);
    for (const auto& finding : findings) {
        EXPECT_EQ(finding.text.find('<'), std::string::npos) << finding.text;
    }
}

TEST_F(SendCheckTest, PicturesAreLookedForInTheirOwnFolderOnly) {
    Settings().Background = "dog.gif";  // lies in images/, not backgrounds/
    Image().FileName = "stone.jpg";     // lies in backgrounds/, not images/
    const auto findings = Check();
    ASSERT_EQ(findings.size(), 2u);
    EXPECT_NE(findings[0].text.find("background picture \"dog.gif\""), std::string::npos);
    EXPECT_NE(findings[1].text.find("\"stone.jpg\""), std::string::npos);

    // A name that is a path is never looked up outside the folders.
    folder_.Write("outside.gif", "x");
    Settings().Background = "../../outside.gif";
    Image().FileName = "../outside.gif";
    EXPECT_EQ(Check().size(), 2u);
}

TEST_F(SendCheckTest, AnImageWithoutPictureIsReported) {
    Image().FileName.clear();
    const auto findings = Check();
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].problem, TSendProblem::MissingPicture);
    EXPECT_NE(findings[0].text.find("no picture has been chosen"), std::string::npos);
}

TEST_F(SendCheckTest, OnlyWhatThePageShowsIsChecked) {
    // A link without words shows nothing; a drop box with entries shows no single link.
    Link().LinkText.clear();
    Link().LinkURL.clear();
    EXPECT_TRUE(Check().empty());
    Link().LinkText = "Club";
    Link().UseDropBox = true;
    Link().DropBoxText = "Club\thttp://club.example.org/";
    EXPECT_TRUE(Check().empty());
    // An empty drop box falls back to the single link, which has no address.
    Link().DropBoxText.clear();
    ASSERT_EQ(Check().size(), 1u);
    EXPECT_EQ(Check()[0].problem, TSendProblem::NoLinkAddress);

    Link().UseDropBox = false;
    Link().LinkURL = "http://club.example.org/";
    // A forms block without fields shows no form.
    InitNewBlock(page_, 3, btForms);
    EXPECT_TRUE(Check().empty());
    page_.WebForm().Add();
    page_.FormService = kFormServiceScript;
    ASSERT_EQ(Check().size(), 1u);
    page_.Email = "club@example.org";
    EXPECT_TRUE(Check().empty());
}

// A form that goes to the host's FormMail reaches nobody on most hosts: the check says what the
// host must run, and its mend sends the form with the mail script instead.
TEST_F(SendCheckTest, AFormForTheHostsFormMailIsMendedToTheMailScript) {
    InitNewBlock(page_, 3, btForms);
    page_.Email = "club@example.org";
    page_.WebForm().Add();
    auto findings = Check();
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].problem, TSendProblem::FormMailOnHost);
    EXPECT_EQ(findings[0].text,
              "Block 4 (Forms): Your web host must run FormMail at /cgi-bin/FormMail.pl for the "
              "form to send anything. Few hosts do; the mail script sent with the page needs only "
              "PHP, which almost every host has.");
    ASSERT_TRUE(findings[0].fix);
    EXPECT_NE(findings[0].fixCaption.find("&"), std::string::npos);
    findings[0].fix(page_);
    EXPECT_EQ(page_.FormService, "script");
    EXPECT_TRUE(Check().empty());

    page_.FormService = "https://forms.example.org/f/1";
    EXPECT_TRUE(Check().empty());
}

// A page that is not fitted to phones is mended with one button, which also gives a page
// without a language the one the check was handed; a description is only reported.
TEST_F(SendCheckTest, APageNotFittedToPhonesOrWithoutDescriptionIsReported) {
    Settings().FitScreens = false;
    Settings().MetaText = "Keywords\tme\r\nDescription\t \r\n";
    auto findings = Check();
    ASSERT_EQ(findings.size(), 2u);
    EXPECT_EQ(findings[0].problem, TSendProblem::NoDescription);
    EXPECT_EQ(findings[0].block, 0);
    EXPECT_EQ(findings[0].text.rfind("Block 1 (Page Details): the page has no description", 0), 0u);
    EXPECT_FALSE(findings[0].fix);
    EXPECT_EQ(findings[1].problem, TSendProblem::NotFitForPhones);
    EXPECT_EQ(
        findings[1].text.rfind("Block 1 (Page Details): the page is not set to fit phones.", 0),
        0u);
    ASSERT_TRUE(findings[1].fix);
    EXPECT_NE(findings[1].fixCaption.find('&'), std::string::npos);
    findings[1].fix(page_);
    EXPECT_TRUE(Settings().FitScreens);
    EXPECT_EQ(Settings().Language, "en-GB");

    // A language already chosen stays.
    Settings().FitScreens = false;
    Settings().Language = "cy";
    Check()[1].fix(page_);
    EXPECT_EQ(Settings().Language, "cy");

    Settings().MetaText = "description\tAll about me\r\n";
    EXPECT_TRUE(Check().empty());
}

}  // namespace
}  // namespace tessel
