#include "dialogs/core/Bookmarks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "platform/RegistryStore.h"
#include "support/TempFolder.h"

namespace tessel {
namespace {

using testing::TTempFolder;

std::vector<std::string> LinksOf(std::string_view line) {
    std::vector<std::string> links;
    AppendLineLinks(line, links);
    return links;
}

TEST(BookmarkLinks, FindsEveryLinkOfALineInOrderAndInAnyCase) {
    using Links = std::vector<std::string>;
    EXPECT_EQ(LinksOf(R"(<DT><A HREF="http://a.example/" ADD_DATE="1">A</A>)"),
              Links{"http://a.example/"});
    EXPECT_EQ(LinksOf(R"(<a href="one">1</a> <A Href="two">2</A>)"), (Links{"one", "two"}));
    EXPECT_EQ(LinksOf(R"(HREF=""HREF="x")"), (Links{"", "x"}));
    EXPECT_EQ(LinksOf(R"(<A HREF="ftp://b.example/?q=1&r=2">)"), Links{"ftp://b.example/?q=1&r=2"});
}

TEST(BookmarkLinks, AddressesAreDecodedAsTheFileMeansThem) {
    using Links = std::vector<std::string>;
    EXPECT_EQ(LinksOf(R"(<A HREF="http://a.example/?q=1&amp;r=2&#38;s=&#x27;3&#x27;">A</A>)"),
              Links{"http://a.example/?q=1&r=2&s='3'"});
    // A quote written as a reference does not end the address.
    EXPECT_EQ(LinksOf(R"(<A HREF="x&quot;y">1</A><A HREF="z">2</A>)"), (Links{"x\"y", "z"}));
}

TEST(BookmarkLinks, IgnoresMarkersWithoutQuotesAndUnclosedLinks) {
    EXPECT_TRUE(LinksOf("<A HREF=http://a.example/>A</A>").empty());
    EXPECT_TRUE(LinksOf("<A HREF = \"http://a.example/\">").empty());
    EXPECT_TRUE(LinksOf("no links here").empty());
    EXPECT_TRUE(LinksOf("").empty());
    EXPECT_TRUE(LinksOf("HREF=\"").empty());
    // The unclosed second link is dropped; the first stays.
    EXPECT_EQ(LinksOf(R"(<A HREF="good">x</A><A HREF="broken>y</A>)"),
              std::vector<std::string>{"good"});
}

TEST(BookmarkFile, ReadsLinksOfEveryLineAfterLinksAlreadyThere) {
    TTempFolder folder;
    const std::string path = folder.Write(
        "bookmarks.html",
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<DL><p>\r\n"
        "<DT><A HREF=\"http://one.example/\">One</A>\r"
        "<DT><a href=\"http://two.example/\">Two</a><DT><A HREF=\"http://three.example/\">3\n"
        "</DL>");
    std::vector<std::string> links = {"earlier"};
    ASSERT_TRUE(ReadBookmarkFile(path, links));
    EXPECT_EQ(links, (std::vector<std::string>{"earlier", "http://one.example/",
                                               "http://two.example/", "http://three.example/"}));
}

TEST(BookmarkFile, OddFiles) {
    TTempFolder folder;
    std::vector<std::string> links;
    EXPECT_TRUE(ReadBookmarkFile(folder.Write("empty.htm", ""), links));
    EXPECT_TRUE(links.empty());

    std::string binary("\0\xFFHREF=\"\0bin\"\xFE", 14);
    EXPECT_TRUE(ReadBookmarkFile(folder.Write("binary.htm", binary), links));
    EXPECT_EQ(links, std::vector<std::string>{std::string("\0bin", 4)});

    links.clear();
    EXPECT_FALSE(ReadBookmarkFile(folder.Path() + "missing.htm", links));
    std::filesystem::create_directories(folder.Path() + "folder.htm");
    EXPECT_FALSE(ReadBookmarkFile(folder.Path() + "folder.htm", links));
    EXPECT_FALSE(ReadBookmarkFile("", links));
    EXPECT_TRUE(links.empty());
}

// A settings store that answers from a table and records what was asked.
struct TFakeSettings {
    std::map<std::pair<std::string, std::string>, std::string> values;
    std::set<std::string> askedKeys;

    TRegistryReader Reader() {
        return [this](const std::string& key, const std::string& name) {
            askedKeys.insert(key);
            auto found = values.find({key, name});
            return found == values.end() ? std::string() : found->second;
        };
    }
};

const std::string kNavigator = "Software\\Netscape\\Netscape Navigator";

TEST(BookmarkLocation, FileLocationWinsAndNothingElseIsRead) {
    TFakeSettings settings;
    settings.values[{kNavigator + "\\Bookmark List", "File Location"}] = "/home/u/bookmarks.html";
    settings.values[{kNavigator + "\\Biff", "CurrentUser"}] = "someone";
    EXPECT_EQ(NetscapeBookmarkPath(settings.Reader()), "/home/u/bookmarks.html");
    EXPECT_EQ(settings.askedKeys, std::set<std::string>{kNavigator + "\\Bookmark List"});
}

TEST(BookmarkLocation, BuiltFromTheInstallFolderAboveCommunicator) {
    TFakeSettings settings;
    settings.values[{kNavigator + "\\Biff", "CurrentUser"}] = "anna";
    settings.values[{kNavigator + "\\Main", "Install Directory"}] =
        "/opt/Netscape/Communicator/Program";
    EXPECT_EQ(NetscapeBookmarkPath(settings.Reader()), "/opt/Netscape/Users/anna/bookmark.htm");

    settings.values[{kNavigator + "\\Main", "Install Directory"}] = "/opt/Navigator/";
    EXPECT_EQ(NetscapeBookmarkPath(settings.Reader()), "/opt/Navigator/Users/anna/bookmark.htm");
}

TEST(BookmarkLocation, NoSettingsNameNoFile) {
    TFakeSettings settings;
    const std::string path = NetscapeBookmarkPath(settings.Reader());
    EXPECT_EQ(path, "Users//bookmark.htm");
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(BookmarkLocation, ReadFromTheSettingsStore) {
    TTempFolder folder;
    TRegistryStore store(folder.Path() + "registry");
    EXPECT_EQ(NetscapeBookmarkPath(RegistryReaderOf(store)), "Users//bookmark.htm");

    store.WriteString(kNavigator + "\\Biff", "CurrentUser", "bo");
    store.WriteString(kNavigator + "\\Main", "Install Directory", "/nav/Communicator");
    EXPECT_EQ(NetscapeBookmarkPath(RegistryReaderOf(store)), "/nav/Users/bo/bookmark.htm");

    // Names compare without regard to case in the store.
    store.WriteString("software\\netscape\\netscape navigator\\bookmark list", "file location",
                      "/home/bo/bookmarks.html");
    EXPECT_EQ(NetscapeBookmarkPath(RegistryReaderOf(store)), "/home/bo/bookmarks.html");
}

}  // namespace
}  // namespace tessel
