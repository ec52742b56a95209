#include "dialogs/core/TemplateFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempFolder.h"

namespace tessel {
namespace {

using testing::TTempFolder;

std::vector<std::string> Captions(const std::vector<TDocumentEntry>& entries,
                                  TDocumentPlace place) {
    std::vector<std::string> captions;
    for (const TDocumentEntry& entry : entries) {
        if (entry.place == place)
            captions.push_back(entry.caption);
    }
    return captions;
}

TEST(TemplateFiles, ListsTemplatesThenPagesSortedWithoutRegardToCase) {
    TTempFolder home;
    home.Write("Templates/home.pgt", "x");
    home.Write("Templates/Club.pgt", "x");
    home.Write("Templates/Club.html", "x");
    home.Write("Templates/a.b.pgt", "x");
    home.Write("Templates/shout.PGT", "x");  // another extension on a case-sensitive system
    home.Write("Templates/.pgt", "x");
    home.Write("TesselFiles/Home.pgx", "x");
    home.Write("TesselFiles/~tmp.html", "x");
    std::filesystem::create_directories(home.Path() + "TesselFiles/folder.pgx");

    const std::vector<TDocumentEntry> entries = ListDocuments(home.Path());
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(Captions(entries, dpTemplate), (std::vector<std::string>{"a.b", "Club", "home"}));
    EXPECT_EQ(Captions(entries, dpPage), (std::vector<std::string>{"Home"}));
    EXPECT_EQ(entries.back().place, dpPage);
    EXPECT_EQ(DocumentPath(home.Path(), entries[0]), home.Path() + "Templates/a.b.pgt");
    EXPECT_EQ(DocumentPath(home.Path(), entries.back()), home.Path() + "TesselFiles/Home.pgx");
}

TEST(TemplateFiles, MissingFoldersListNothing) {
    TTempFolder home;
    EXPECT_TRUE(ListDocuments(home.Path() + "nowhere/").empty());
}

TEST(TemplateFiles, PreviewFileReplacesOnlyTheLastExtension) {
    EXPECT_EQ(PreviewHtmlPath("/p/Templates/a.b.pgt"), "/p/Templates/a.b.html");
    EXPECT_EQ(PreviewHtmlPath("/p/my.pages/Home.pgx"), "/p/my.pages/Home.html");
}

TEST(TemplateFiles, DeleteRemovesDocumentAndItsHtmlOnly) {
    TTempFolder home;
    const std::string document = home.Write("Templates/Home.pgt", "x");
    home.Write("Templates/Home.html", "x");
    home.Write("TesselFiles/Home.pgx", "x");
    home.Write("TesselFiles/Home.html", "x");
    const TDeleteResult result = DeleteDocumentFiles(document);
    EXPECT_TRUE(result.documentExisted);
    EXPECT_TRUE(result.deleted);
    EXPECT_TRUE(result.error.empty());
    EXPECT_FALSE(std::filesystem::exists(document));
    EXPECT_FALSE(std::filesystem::exists(home.Path() + "Templates/Home.html"));
    EXPECT_TRUE(std::filesystem::exists(home.Path() + "TesselFiles/Home.pgx"));
    EXPECT_TRUE(std::filesystem::exists(home.Path() + "TesselFiles/Home.html"));

    const TDeleteResult missing = DeleteDocumentFiles(document);
    EXPECT_FALSE(missing.documentExisted);
    EXPECT_FALSE(missing.deleted);
    EXPECT_TRUE(missing.error.empty());
}

TEST(TemplateFiles, AFailedDeleteSaysWhyAndLeavesTheHtml) {
    TTempFolder home;
    // A folder that is not empty cannot be removed as a file.
    home.Write("Templates/Stuck.pgt/inside", "x");
    home.Write("Templates/Stuck.html", "x");
    const TDeleteResult result = DeleteDocumentFiles(home.Path() + "Templates/Stuck.pgt");
    EXPECT_TRUE(result.documentExisted);
    EXPECT_FALSE(result.deleted);
    EXPECT_FALSE(result.error.empty());
    EXPECT_TRUE(std::filesystem::exists(home.Path() + "Templates/Stuck.html"));
}

}  // namespace
}  // namespace tessel
