#include "publish/core/SendCheck.h"

#include <algorithm>
#include <filesystem>

#include "document/PageForm.h"
#include "document/Pagelette.h"
#include "html/FormDelivery.h"
#include "pagerules/BlockKinds.h"
#include "pagerules/PictureNames.h"
#include "pagerules/ProgramPaths.h"

namespace tessel {
namespace {

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

bool PictureIsThere(const std::string& folder, const std::string& name) {
    const std::string path = PictureFilePath(folder, name);
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

// "Block 3 (Image)": the number the user counts in the block list, from 1.
std::string BlockWords(int index, TBlockType kind) {
    return "Block " + std::to_string(index + 1) + " (" + BlockCaption(kind) + ")";
}

// True when the meta list has a description with words in it.
bool HasDescription(const TPagePropertiesBlock& settings) {
    const std::vector<std::string> descriptions = settings.MetaContents("description");
    return std::any_of(descriptions.begin(), descriptions.end(),
                       [](const std::string& text) { return !IsBlank(text); });
}

class TChecker {
  public:
    TChecker(const std::string& programFolder, const std::string& language)
        : FFolder(programFolder), FLanguage(language) {}

    void PageSettings(int index, TPagePropertiesBlock& settings) {
        const std::string who = BlockWords(index, btPageProperties);
        if (IsBlank(settings.PageTitle)) {
            Add(index, TSendProblem::NoTitle,
                who +
                    ": the page has no title. Visitors see the title at the top of the "
                    "browser and in their bookmarks.");
        }
        if (!settings.Background.empty() &&
            !PictureIsThere(FFolder + kBackgroundsFolder, settings.Background)) {
            Add(index, TSendProblem::MissingPicture,
                who + ": the background picture \"" + settings.Background +
                    "\" is missing from its folder, so visitors will not see it.");
        }
        // What follows is about the page's head, which only the first block gives.
        if (index != 0)
            return;
        if (!HasDescription(settings)) {
            Add(index, TSendProblem::NoDescription,
                who +
                    ": the page has no description meta tag. Search engines show a few words "
                    "of their own choosing under its title; add a \"Description\" under Meta "
                    "Tags to choose them yourself.");
        }
        if (!settings.FitScreens) {
            TSendFinding& finding =
                Add(index, TSendProblem::NotFitForPhones,
                    who +
                        ": the page is not set to fit phones. On a phone it is cut off at the "
                        "right, and today's browsers show it in their old way.");
            finding.fixCaption = "&Fit it to phones and today's browsers";
            finding.fix = [language = FLanguage](TPagelette& page) {
                TPagePropertiesBlock& fixed = page.Page().Items(0).PagePropertiesBlock();
                fixed.FitScreens = true;
                if (fixed.Language.empty())
                    fixed.Language = language;
            };
        }
    }

    void Image(int index, TImageBlock& image) {
        const std::string who = BlockWords(index, btImage);
        if (image.FileName.empty()) {
            Add(index, TSendProblem::MissingPicture,
                who + ": no picture has been chosen, so visitors will see an empty frame.");
        } else if (!PictureIsThere(FFolder + kImagesFolder, image.FileName)) {
            Add(index, TSendProblem::MissingPicture,
                who + ": the picture \"" + image.FileName +
                    "\" is missing from its folder, so visitors will see an empty frame.");
        }
        if (IsBlank(image.Alt)) {
            Add(index, TSendProblem::NoAlternativeText,
                who +
                    ": the picture has no alternative text, the words shown in its place "
                    "when it cannot be seen or is read aloud.");
        }
    }

    void Link(int index, TLinkBlock& link) {
        // A drop box with no entries is shown as a single link.
        const bool singleLink = !link.UseDropBox || link.DropBoxText.empty();
        if (singleLink && !IsBlank(link.LinkText) && IsBlank(link.LinkURL)) {
            Add(index, TSendProblem::NoLinkAddress,
                BlockWords(index, btLink) + ": the link \"" + link.LinkText +
                    "\" has no address, so clicking it leads nowhere.");
        }
    }

    void Form(int index, TPagelette& document) {
        // A form without fields is not shown at all.
        if (document.WebForm().Count() > 0 && IsBlank(document.Email)) {
            Add(index, TSendProblem::NoFormAddress,
                BlockWords(index, btForms) +
                    ": the e-mail form has no address to send its answers to, so whatever "
                    "visitors fill in is lost.");
        }
        if (document.WebForm().Count() > 0 &&
            FormDeliveryOf(document) == TFormDelivery::HostFormMail) {
            TSendFinding& finding = Add(
                index, TSendProblem::FormMailOnHost,
                BlockWords(index, btForms) +
                    ": Your web host must run FormMail at /cgi-bin/FormMail.pl for the form to "
                    "send anything. Few hosts do; the mail script sent with the page needs only "
                    "PHP, which almost every host has.");
            finding.fixCaption = "Send the form with the &mail script (needs PHP)";
            finding.fix = [](TPagelette& page) { page.FormService = kFormServiceScript; };
        }
    }

    std::vector<TSendFinding> Findings() { return std::move(FFindings); }

  private:
    TSendFinding& Add(int index, TSendProblem problem, std::string text) {
        return FFindings.emplace_back(TSendFinding{index, problem, std::move(text)});
    }

    const std::string& FFolder;
    const std::string& FLanguage;
    std::vector<TSendFinding> FFindings;
};

}  // namespace

std::vector<TSendFinding> CheckBeforeSending(TPagelette& document, const std::string& programFolder,
                                             const std::string& language) {
    TChecker checker(programFolder, language);
    TPageCollection& page = document.Page();
    for (int i = 0; i < page.Count(); ++i) {
        TPageItem& block = page.Items(i);
        switch (block.BlockType) {
            case btPageProperties:
                checker.PageSettings(i, block.PagePropertiesBlock());
                break;
            case btImage:
                checker.Image(i, block.ImageBlock());
                break;
            case btLink:
                checker.Link(i, block.LinkBlock());
                break;
            case btForms:
                checker.Form(i, document);
                break;
            default:
                break;
        }
    }
    return checker.Findings();
}

}  // namespace tessel
