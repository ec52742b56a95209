#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "dialogs/core/DeliveredTemplates.h"
#include "document/Stream.h"
#include "html/Routines.h"
#include "platform/AtomicFile.h"

namespace tessel::testing {
namespace {

const std::string kData = std::string(TESSEL_SOURCE_DATA) + "/";

std::string TemplatePath(const TDeliveredTemplate& delivered) {
    return kData + "Templates/" + delivered.fileName;
}
std::string HtmlPath(const TDeliveredTemplate& delivered) {
    return kData + "Templates/" + BaseName(delivered.fileName) + ".html";
}

// The delivered templates are the ones built here, their HTML is what the program writes for
// them, and every one is ready for a phone and today's browsers: fitted, in English, with a
// description and no margin table.
TEST(DeliveredTemplates, AreWhatTheProgramMakesAndReadWellOnAPhone) {
    std::vector<TDeliveredTemplate> templates = BuildDeliveredTemplates(kData);
    ASSERT_GE(templates.size(), 5u);
    for (TDeliveredTemplate& delivered : templates) {
        SCOPED_TRACE(delivered.fileName);
        std::unique_ptr<TPagelette> read = ReadDocumentFile(TemplatePath(delivered));
        const TPagePropertiesBlock& settings = read->Page().Items(0).PagePropertiesBlock();
        EXPECT_EQ(settings.IndentMargin, "0");
        EXPECT_TRUE(settings.FitScreens);
        EXPECT_EQ(settings.Language, "en");
        EXPECT_EQ(settings.MetaText.rfind("description\t", 0), 0u);
        EXPECT_GE(read->Page().Count(), 5);

        const std::string html = ReadWholeFile(HtmlPath(delivered));
        EXPECT_EQ(html, TemplateHtml(*read));
        EXPECT_EQ(html, TemplateHtml(*delivered.document)) << "run tools/make-templates.sh";
        EXPECT_EQ(html.rfind("<!DOCTYPE html>\r\n", 0), 0u);
        EXPECT_NE(html.find("<META NAME=\"viewport\" CONTENT=\"width=device-width, "
                            "initial-scale=1\">"),
                  std::string::npos);

        for (int i = 1; i < read->Page().Count(); ++i) {
            TPageItem& block = read->Page().Items(i);
            if (block.BlockType == btImage) {
                EXPECT_TRUE(std::filesystem::exists(kData + "Upload/images/" +
                                                    block.ImageBlock().FileName));
            }
        }
    }
}

TEST(DeliveredTemplates, TheContactPageCarriesAnEmailFormWithEveryKindOfChoice) {
    std::unique_ptr<TPagelette> read = ReadDocumentFile(kData + "Templates/Contact Page.pgt");
    EXPECT_EQ(read->Email, "hello@example.com");
    std::set<TFieldKind> kinds;
    for (int i = 0; i < read->WebForm().Count(); ++i)
        kinds.insert(read->WebForm().Items(i).FieldKind);
    EXPECT_EQ(kinds, (std::set<TFieldKind>{fkText, fkTextArea, fkRadio, fkCheckBox, fkDropDown}));
    const std::string html = ReadWholeFile(kData + "Templates/Contact Page.html");
    for (const char* piece :
         {"<FORM ACTION=", "NAME=\"recipient\" VALUE=\"hello@example.com\"",
          "<SELECT NAME=\"topic\" ID=\"field3\">", "NAME=\"reply_by\" VALUE=\"email\" CHECKED",
          "NAME=\"newsletter_send_me_the_monthly_newsletter\"",
          "<TEXTAREA COLS=\"30\" ROWS=\"15\" NAME=\"message\""}) {
        EXPECT_NE(html.find(piece), std::string::npos) << piece;
    }
}

// Writes the delivered templates again; run by tools/make-templates.sh.
TEST(DeliveredTemplates, DISABLED_Write) {
    for (TDeliveredTemplate& delivered : BuildDeliveredTemplates(kData)) {
        WriteDocumentFile(TemplatePath(delivered), *delivered.document);
        WriteFileAtomically(HtmlPath(delivered), TemplateHtml(*delivered.document));
    }
}

}  // namespace
}  // namespace tessel::testing
