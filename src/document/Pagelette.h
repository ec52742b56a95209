#pragma once

// The page document: an ordered list of blocks plus the e-mail form's fields and options.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/Colors.h"
#include "document/PageForm.h"
#include "document/Persistence.h"

namespace tessel {

enum TBlockType : uint8_t {
    btPageProperties,
    btHeading,
    btImage,
    btLink,
    btText,
    btBullet,
    btHR,
    btForms,
};

enum TBlockAlignment : uint8_t { baNone, baLeft, baCenter, baRight };

// In the order of the bullet editor's choices "Disc", "Circle", "Square", "A", "a", "1", "I", "i".
enum TListStyle : uint8_t {
    lsDisc,
    lsCircle,
    lsSquare,
    lsUpCaseA,
    lsLoCaseA,
    lsNum,
    lsUpCaseRoman,
    lsLoCaseRoman,
};

const TEnumInfo& BlockTypeInfo();
const TEnumInfo& BlockAlignmentInfo();
const TEnumInfo& ListStyleInfo();

// The font description a new heading or paragraph carries.
inline constexpr const char* kDefaultFontDescription = R"("Times New Roman", 12, [], [$00050000])";

class TPagePropertiesBlock final : public TPersistent {
  public:
    const TClassInfo& ClassInfo() const override;

    std::string PageTitle;
    std::string Background;
    std::string MetaText;  // a line "name TAB content" for each meta tag
    std::string IndentMargin;
    std::string ThemeName;
    bool Underline = false;
    TColor BGColor = 0;
    TColor TextColor = 0;
    TColor LinkColor = 0;
    TColor ALinkColor = 0;
    TColor VLinkColor = 0;
    // Pages for phones and today's browsers: a doctype, the page's language, a viewport and
    // a short style block. Written only when ticked, so older documents keep their bytes.
    bool FitScreens = false;
    std::string Language;  // a language tag ("en", "de-CH"); empty: not stated

    // The contents of the meta tags named `name` (in any case).
    std::vector<std::string> MetaContents(std::string_view name) const;
};

class THeadingBlock final : public TPersistent {
  public:
    const TClassInfo& ClassInfo() const override;

    std::string Heading;
    std::string Attributes;
    uint8_t ApplyFont = 0;
};

class TTextBlock final : public TPersistent {
  public:
    const TClassInfo& ClassInfo() const override;

    std::string Text;
    std::string Attributes;
    uint8_t ApplyFont = 0;
};

class TImageBlock final : public TPersistent {
  public:
    const TClassInfo& ClassInfo() const override;

    std::string FileName;
    std::string Height;
    std::string Width;
    std::string Align;
    std::string Alt;
    std::string ImageLink;
    std::string ImagePath;  // kept only so that documents holding it load and save unchanged
};

class TLinkBlock final : public TPersistent {
  public:
    const TClassInfo& ClassInfo() const override;

    std::string LinkURL;
    std::string LinkText;
    std::string DropBoxText;
    bool UseDropBox = false;
    std::string Align;  // kept only so that documents holding it load and save unchanged
    bool Email = false;
};

class TBulletBlock final : public TPersistent {
  public:
    const TClassInfo& ClassInfo() const override;

    std::string Bullets;
    TListStyle Style = lsDisc;
};

class THRBlock final : public TPersistent {
  public:
    const TClassInfo& ClassInfo() const override;

    int32_t Width = 0;
    int32_t Size = 0;
    bool NoShade = false;
};

class TPageCollection;

// One block. Payload slots are created empty the first time they are read.
class TPageItem final : public TCollectionItem {
  public:
    const TClassInfo& ClassInfo() const override;

    TBlockType BlockType = btPageProperties;
    TBlockAlignment BlockAlign = baNone;
    bool BlockOnNewLine = false;

    TPagePropertiesBlock& PagePropertiesBlock() { return Slot(pageProperties_); }
    THeadingBlock& HeadingBlock() { return Slot(heading_); }
    TLinkBlock& LinkBlock() { return Slot(link_); }
    TImageBlock& ImageBlock() { return Slot(image_); }
    TTextBlock& TextBlock() { return Slot(text_); }
    TBulletBlock& BulletBlock() { return Slot(bullet_); }
    THRBlock& HRBlock() { return Slot(hr_); }

    // Setting a payload to none releases it.
    void ClearPagePropertiesBlock() { pageProperties_.reset(); }
    void ClearHeadingBlock() { heading_.reset(); }
    void ClearLinkBlock() { link_.reset(); }
    void ClearImageBlock() { image_.reset(); }
    void ClearTextBlock() { text_.reset(); }
    void ClearBulletBlock() { bullet_.reset(); }
    void ClearHRBlock() { hr_.reset(); }

    // How many payload slots currently hold an object.
    int FilledSlotCount() const;

  private:
    template <class T>
    static T& Slot(std::unique_ptr<T>& slot) {
        if (!slot)
            slot = std::make_unique<T>();
        return *slot;
    }

    std::unique_ptr<TPagePropertiesBlock> pageProperties_;
    std::unique_ptr<THeadingBlock> heading_;
    std::unique_ptr<TLinkBlock> link_;
    std::unique_ptr<TImageBlock> image_;
    std::unique_ptr<TTextBlock> text_;
    std::unique_ptr<TBulletBlock> bullet_;
    std::unique_ptr<THRBlock> hr_;
};

class TPagelette;

class TPageCollection final : public TTypedCollection<TPageItem> {
  public:
    explicit TPageCollection(TPagelette* owner) : owner_(owner) {}
    const TClassInfo& ClassInfo() const override;
    TPagelette* Owner() const { return owner_; }

  private:
    TPagelette* owner_;
};

// TPagelette::FormService of a form that posts to the mail script sent with the page.
inline constexpr const char* kFormServiceScript = "script";

// Where the e-mail form posts, and what travels with its fields.
struct TFormTarget {
    std::string action;         // the FORM's address; empty: the host's FormMail
    bool serviceFields = true;  // the hidden fields that tell FormMail or a form service what to do
    bool utf8 = false;          // the browser sends UTF-8, whatever the page's own charset
    std::string honeypot;       // name of a field hidden from people; empty: none
    bool labels = false;        // each field's label names its control (id and for)
};

class TPagelette final : public TComponent {
  public:
    TPagelette();
    const TClassInfo& ClassInfo() const override;

    TPageCollection& Page() { return *page_; }
    const TPageCollection& Page() const { return *page_; }
    TWebForm& WebForm() { return *webForm_; }
    const TWebForm& WebForm() const { return *webForm_; }

    bool AlphaSort = false;
    bool BlankFields = false;
    bool Border = false;
    bool BrowserUsed = false;
    std::string Color;  // kept only so that documents holding it load and save unchanged
    bool EmailAddress = false;
    bool EmailSubject = false;
    bool EnvReport = false;
    std::string FormTitle;
    bool FormFooter = false;
    bool HostName = false;
    std::string Email;
    std::string Redirect;
    std::string Subject;
    // Where the form goes: empty for the host's FormMail, kFormServiceScript for the mail
    // script sent with the page, any other text the address of a form service.
    std::string FormService;

    // Empties the form and its options, and the blocks too when `includePage` is true.
    void ClearDocument(bool includePage);

    // The e-mail form's HTML (the forms block's content), posting to the host's FormMail, or
    // where `target` says.
    std::string FormHTML() const;
    std::string FormHTML(const TFormTarget& target) const;

  private:
    std::unique_ptr<TPageCollection> page_;
    std::unique_ptr<TWebForm> webForm_;
};

// Inserts a content block of `kind` at `index` with the editor's defaults for that kind.
TPageItem& InitNewBlock(TPagelette& document, int index, TBlockType kind);

// Resets `document` to the default new page: page settings, an image, a link and a paragraph.
void SetDefaultBlocks(TPagelette& document);

}  // namespace tessel
