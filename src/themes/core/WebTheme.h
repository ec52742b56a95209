#pragma once

// The theme store: named sets of page-wide looks, kept in "Themes.dat" in the program folder.

#include <memory>
#include <string>

#include "document/Colors.h"
#include "document/Persistence.h"

namespace tessel {

class TPagelette;

class TThemeItem final : public TCollectionItem {
  public:
    const TClassInfo& ClassInfo() const override;
    // Copies all eight values.
    void Assign(const TThemeItem& source);

    std::string ThemeName;
    std::string BGImage;
    std::string LeftMargin;
    TColor BGColor = 0;
    TColor TextColor = 0;
    TColor LinkColor = 0;
    TColor ALinkColor = 0;
    TColor VLinkColor = 0;
};

class TWebTheme;

class TThemeCollection final : public TTypedCollection<TThemeItem> {
  public:
    explicit TThemeCollection(TWebTheme* owner) : owner_(owner) {}
    const TClassInfo& ClassInfo() const override;
    TWebTheme* Owner() const { return owner_; }

  private:
    TWebTheme* owner_;
};

class TWebTheme final : public TComponent {
  public:
    TWebTheme();
    const TClassInfo& ClassInfo() const override;

    TThemeCollection& Items() { return *items_; }
    const TThemeCollection& Items() const { return *items_; }
    // Copies the given themes item by item into the owned collection.
    void SetItems(const TThemeCollection& source);

    // The index of the theme named `name` without regard to case, or -1.
    int IndexOfTheme(const std::string& name) const;

  private:
    std::unique_ptr<TThemeCollection> items_;
};

inline constexpr const char* kThemeFileName = "Themes.dat";

// Makes "TWebTheme" known to the stream reader; the programs call it at start, and loading
// the themes calls it too. Calling it again does no harm.
void RegisterThemeStoreClass();

// Reads "Themes.dat" from the program folder (which ends in "/"). Throws EStreamError:
// "Cannot open file %s" when it cannot be opened, the reader's message when it is damaged,
// "Invalid class typecast" when its root is not a theme store.
std::unique_ptr<TWebTheme> LoadThemes(const std::string& programFolder);

// Rewrites "Themes.dat" in the program folder; the previous file survives a failed write.
void SaveThemes(const std::string& programFolder, TWebTheme& themes);

// Copies theme `index` into the page settings block of `document`; -1 does nothing.
void ApplyTheme(const TWebTheme& themes, int index, TPagelette& document);

}  // namespace tessel
