#include <gtest/gtest.h>

#include <string>

#include "document/Pagelette.h"
#include "document/Stream.h"
#include "document/StreamBytes.h"
#include "platform/AtomicFile.h"

namespace tessel {
namespace {

// Builds hand-made streams byte by byte.
class Bytes {
  public:
    Bytes& Raw(std::string_view text) {
        data_.append(text);
        return *this;
    }
    Bytes& Byte(int value) {
        data_.push_back(static_cast<char>(value));
        return *this;
    }
    Bytes& Short(std::string_view text) { return Byte(static_cast<int>(text.size())).Raw(text); }
    Bytes& Header(std::string_view className) { return Raw("TPF0").Short(className).Byte(0); }
    Bytes& Ident(std::string_view name, std::string_view identifier) {
        return Short(name).Byte(vaIdent).Short(identifier);
    }
    Bytes& Text(std::string_view name, std::string_view text) {
        return Short(name).Byte(vaString).Short(text);
    }
    std::string str() const { return data_; }

  private:
    std::string data_;
};

std::string ReadError(const std::string& bytes) {
    try {
        ReadComponent(bytes);
    } catch (const EStreamError& error) {
        return error.what();
    }
    return "(no error)";
}

std::unique_ptr<TPagelette> ReadDocument(const std::string& bytes) {
    std::unique_ptr<TComponent> root = ReadComponent(bytes);
    auto* document = dynamic_cast<TPagelette*>(root.get());
    EXPECT_NE(document, nullptr);
    root.release();
    return std::unique_ptr<TPagelette>(document);
}

TEST(StreamWriterTest, NewDocumentStartsAsTheFormatPrescribes) {
    TPagelette document;
    SetDefaultBlocks(document);
    const std::string bytes = WriteComponent(document);

    const std::string expectedStart = Bytes()
                                          .Header("TPagelette")
                                          .Short("Page")
                                          .Byte(vaCollection)
                                          .Byte(vaList)
                                          .Ident("BlockType", "btPageProperties")
                                          .Ident("BlockAlign", "baNone")
                                          .Short("BlockOnNewLine")
                                          .Byte(vaFalse)
                                          .Text("PagePropertiesBlock.IndentMargin", "0")
                                          .Text("PagePropertiesBlock.ThemeName", "Default")
                                          .Short("PagePropertiesBlock.Underline")
                                          .Byte(vaFalse)
                                          .Short("PagePropertiesBlock.BGColor")
                                          .Byte(vaInt32)
                                          .Raw(std::string("\xFF\xFF\xFF\x00", 4))
                                          .str();
    EXPECT_EQ(bytes.substr(0, expectedStart.size()), expectedStart);

    // An empty form is a collection record with no items; the document ends with the
    // string options (all empty, so skipped), end of properties and end of children.
    const std::string webForm = Bytes().Short("WebForm").Byte(vaCollection).Byte(vaNull).str();
    EXPECT_NE(bytes.find(webForm), std::string::npos);
    const std::string tail = Bytes().Short("HostName").Byte(vaFalse).Byte(0).Byte(0).str();
    EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);

    // Writing fills every payload slot of every block.
    for (int i = 0; i < document.Page().Count(); ++i) {
        EXPECT_EQ(document.Page().Items(i).FilledSlotCount(), 7);
    }
    size_t items = 0;
    for (size_t at = bytes.find("\x09"
                                "BlockType");
         at != std::string::npos; at = bytes.find("\x09"
                                                  "BlockType",
                                                  at + 1)) {
        ++items;
    }
    EXPECT_EQ(items, 4u);
    EXPECT_NE(bytes.find(Bytes().Short("HRBlock.Width").Byte(vaInt8).Byte(0).str()),
              std::string::npos);
}

TEST(StreamWriterTest, ChoosesTheSmallestIntegerAndTextForms) {
    TPagelette document;
    SetDefaultBlocks(document);
    TPageItem& rule = InitNewBlock(document, 4, btHR);
    rule.HRBlock().Size = 300;
    rule.HRBlock().NoShade = true;
    document.Page().Items(1).ImageBlock().Alt = std::string(255, 'a');
    document.Page().Items(3).TextBlock().Text = std::string(256, 'b');
    const std::string bytes = WriteComponent(document);

    EXPECT_NE(bytes.find(Bytes().Short("HRBlock.Width").Byte(vaInt8).Byte(0x64).str()),
              std::string::npos);
    EXPECT_NE(bytes.find(Bytes().Short("HRBlock.Size").Byte(vaInt16).Byte(0x2C).Byte(0x01).str()),
              std::string::npos);
    EXPECT_NE(bytes.find(Bytes().Short("HRBlock.NoShade").Byte(vaTrue).str()), std::string::npos);
    EXPECT_NE(bytes.find(Bytes().Short("ImageBlock.Alt").Byte(vaString).Byte(0xFF).str()),
              std::string::npos);
    EXPECT_NE(bytes.find(Bytes()
                             .Short("TextBlock.Text")
                             .Byte(vaLString)
                             .Raw(std::string("\x00\x01\x00\x00", 4))
                             .Raw(std::string(256, 'b'))
                             .str()),
              std::string::npos);
    // Negative colours (system colours) need all four bytes.
    document.Page().Items(0).PagePropertiesBlock().TextColor = -2147483647 - 1;
    EXPECT_NE(WriteComponent(document).find(Bytes()
                                                .Short("PagePropertiesBlock.TextColor")
                                                .Byte(vaInt32)
                                                .Raw(std::string("\x00\x00\x00\x80", 4))
                                                .str()),
              std::string::npos);
}

TEST(StreamWriterTest, IntegerFormsChangeExactlyAtTheirLimits) {
    const struct {
        int32_t value;
        std::string encoded;  // type byte and little-endian data
    } cases[] = {
        {0, std::string("\x02\x00", 2)},
        {-1, "\x02\xFF"},
        {127, "\x02\x7F"},
        {-128, "\x02\x80"},
        {128, std::string("\x03\x80\x00", 3)},
        {-129, "\x03\x7F\xFF"},
        {255, std::string("\x03\xFF\x00", 3)},
        {32767, "\x03\xFF\x7F"},
        {-32768, std::string("\x03\x00\x80", 3)},
        {32768, std::string("\x04\x00\x80\x00\x00", 5)},
        {-32769, "\x04\xFF\x7F\xFF\xFF"},
        {65536, std::string("\x04\x00\x00\x01\x00", 5)},
        {2147483647, "\x04\xFF\xFF\xFF\x7F"},
        {-2147483647 - 1, std::string("\x04\x00\x00\x00\x80", 5)},
    };
    for (const auto& c : cases) {
        TPagelette document;
        SetDefaultBlocks(document);
        InitNewBlock(document, 4, btHR).HRBlock().Width = c.value;
        const std::string bytes = WriteComponent(document);
        const std::string record = Bytes().Short("HRBlock.Width").Raw(c.encoded).str();
        EXPECT_NE(bytes.find(record), std::string::npos) << c.value;
        // Read back with the sign of its form.
        EXPECT_EQ(ReadDocument(bytes)->Page().Items(4).HRBlock().Width, c.value) << c.value;
    }
}

// A document with every block kind and every kind of form field.
std::unique_ptr<TPagelette> RichDocument() {
    auto document = std::make_unique<TPagelette>();
    SetDefaultBlocks(*document);
    TPagePropertiesBlock& settings = document->Page().Items(0).PagePropertiesBlock();
    settings.PageTitle = "Welcome";
    settings.MetaText = "Keywords\tcats, dogs\r\nDescription\tA page\r\n";
    settings.Underline = true;
    InitNewBlock(*document, 1, btHeading).HeadingBlock().Heading = "Line one\r\nLine two";
    InitNewBlock(*document, 5, btBullet).BulletBlock().Style = lsLoCaseRoman;
    InitNewBlock(*document, 6, btHR).HRBlock().NoShade = true;
    InitNewBlock(*document, 7, btForms);
    TLinkBlock& link = document->Page().Items(3).LinkBlock();
    link.DropBoxText = "http://a.example/\tA\r\nmailto:b@c.example\tMail\r\n";
    link.UseDropBox = true;
    link.Align = "kept";
    document->Page().Items(2).ImageBlock().ImagePath = "kept too";
    document->Color = "reserved";
    document->Email = "me@example.org";
    document->AlphaSort = true;
    TFormElement& radio = document->WebForm().Add();
    radio.FieldKind = fkRadio;
    radio.Name = "Pick one";
    radio.Strings().lines = {"a|Apple|Yes", "b|Banana|no"};
    TFormElement& button = document->WebForm().Add();
    button.FieldKind = fkButton;
    button.Name = "Send";
    return document;
}

TEST(StreamRoundTripTest, WriteReadWriteGivesIdenticalBytes) {
    std::unique_ptr<TPagelette> document = RichDocument();
    const std::string first = WriteComponent(*document);
    std::unique_ptr<TPagelette> again = ReadDocument(first);
    EXPECT_EQ(WriteComponent(*again), first);

    ASSERT_EQ(again->Page().Count(), 8);
    EXPECT_EQ(again->Page().Items(1).HeadingBlock().Heading, "Line one\r\nLine two");
    EXPECT_EQ(again->Page().Items(5).BulletBlock().Style, lsLoCaseRoman);
    EXPECT_EQ(again->Page().Items(3).LinkBlock().Align, "kept");
    EXPECT_EQ(again->Color, "reserved");
    ASSERT_EQ(again->WebForm().Count(), 2);
    EXPECT_EQ(again->WebForm().Items(0).Strings().lines,
              (std::vector<std::string>{"a|Apple|Yes", "b|Banana|no"}));
    EXPECT_EQ(again->WebForm().Items(1).Strings().Count(), 0);
    EXPECT_EQ(again->WebForm().Items(1).Index(), 1);
}

TEST(StreamWriterTest, OneBlocksPropertiesAreItsStretchOfTheDocument) {
    std::unique_ptr<TPagelette> document = RichDocument();
    const std::string whole = WriteComponent(*document);
    std::string blocks;
    for (int i = 0; i < document->Page().Count(); ++i) {
        const std::string block = WriteProperties(document->Page().Items(i));
        blocks += char(vaList) + block + char(vaNull);
    }
    EXPECT_NE(whole.find(blocks), std::string::npos);
    const std::string before = WriteProperties(document->Page().Items(1));
    document->Page().Items(1).HeadingBlock().Heading += "!";
    EXPECT_NE(WriteProperties(document->Page().Items(1)), before);
}

TEST(StreamRoundTripTest, StringListsAreWrittenOnlyWhenTheyHaveLines) {
    std::unique_ptr<TPagelette> document = RichDocument();
    const std::string bytes = WriteComponent(*document);
    const std::string list = Bytes()
                                 .Short("Strings.Strings")
                                 .Byte(vaList)
                                 .Byte(vaString)
                                 .Short("a|Apple|Yes")
                                 .Byte(vaString)
                                 .Short("b|Banana|no")
                                 .Byte(vaNull)
                                 .str();
    const size_t first = bytes.find(list);
    EXPECT_NE(first, std::string::npos);
    EXPECT_EQ(bytes.find("Strings.Strings", first + list.size()), std::string::npos);
}

// A document saved before pages had a choice of where their form goes keeps its bytes; the
// choice, once made, is the last record and reads back.
TEST(StreamRoundTripTest, FormServiceIsWrittenOnlyWhenChosen) {
    const std::string old = ReadWholeFile(TESSEL_TEST_DATA "/old-pages/contact-page.pgt");
    std::unique_ptr<TPagelette> document = ReadDocument(old);
    ASSERT_GT(document->WebForm().Count(), 0);
    EXPECT_EQ(document->FormService, "");
    EXPECT_EQ(WriteComponent(*document), old);

    document->FormService = kFormServiceScript;
    const std::string chosen = WriteComponent(*document);
    EXPECT_EQ(chosen, old.substr(0, old.size() - 2) +
                          Bytes().Text("FormService", "script").Byte(0).Byte(0).str());
    EXPECT_EQ(ReadDocument(chosen)->FormService, "script");

    document->ClearDocument(false);
    EXPECT_EQ(document->FormService, "");
}

// Documents saved before pages could be fitted to phones keep their bytes. The option and
// the language, once set, are the last records of the page settings and read back; the other
// blocks' page settings slots stay as they were.
TEST(StreamRoundTripTest, FitScreensAndLanguageAreWrittenOnlyWhenSet) {
    for (const char* name : {"every-block.pgx", "contact-page.pgt"}) {
        SCOPED_TRACE(name);
        const std::string old = ReadWholeFile(std::string(TESSEL_TEST_DATA "/old-pages/") + name);
        std::unique_ptr<TPagelette> document = ReadDocument(old);
        TPagePropertiesBlock& settings = document->Page().Items(0).PagePropertiesBlock();
        EXPECT_FALSE(settings.FitScreens);
        EXPECT_EQ(settings.Language, "");
        EXPECT_EQ(WriteComponent(*document), old);

        settings.FitScreens = true;
        settings.Language = "de-CH";
        const std::string fitted = WriteComponent(*document);
        const std::string records = Bytes()
                                        .Short("PagePropertiesBlock.FitScreens")
                                        .Byte(vaTrue)
                                        .Text("PagePropertiesBlock.Language", "de-CH")
                                        .str();
        const size_t at = fitted.find(records);
        ASSERT_NE(at, std::string::npos);
        EXPECT_EQ(fitted.find("FitScreens", at + records.size()), std::string::npos);
        EXPECT_EQ(fitted.substr(0, at) + fitted.substr(at + records.size()), old);
        // Right after the colour that was the last record until now (its name and at most a
        // type byte and four bytes of value).
        const std::string last = "PagePropertiesBlock.VLinkColor";
        EXPECT_LE(at - fitted.rfind(last, at), last.size() + 5);

        std::unique_ptr<TPagelette> again = ReadDocument(fitted);
        EXPECT_TRUE(again->Page().Items(0).PagePropertiesBlock().FitScreens);
        EXPECT_EQ(again->Page().Items(0).PagePropertiesBlock().Language, "de-CH");
        EXPECT_FALSE(again->Page().Items(1).PagePropertiesBlock().FitScreens);

        // Unticked again with the language kept: only the language is written.
        settings.FitScreens = false;
        EXPECT_EQ(WriteComponent(*document).find("FitScreens"), std::string::npos);
        settings.Language.clear();
        EXPECT_EQ(WriteComponent(*document), old);
    }
}

TEST(StreamReaderTest, AcceptsWhatOtherWritersMayProduce) {
    // Other letter cases, a prefix byte with a child position, item index numbers, a nil
    // payload, 16- and 32-bit forms of small numbers, and a Byte value wider than 8 bits.
    const std::string bytes = Bytes()
                                  .Raw("TPF0")
                                  .Byte(0xF2)
                                  .Byte(vaInt8)
                                  .Byte(3)
                                  .Short("tpagelette")
                                  .Short("Doc")
                                  .Short("PAGE")
                                  .Byte(vaCollection)
                                  .Byte(vaInt8)
                                  .Byte(0)
                                  .Byte(vaList)
                                  .Ident("blocktype", "BTHEADING")
                                  .Short("headingblock.applyfont")
                                  .Byte(vaInt16)
                                  .Raw(std::string("\x01\x01", 2))
                                  .Short("HRBlock.Width")
                                  .Byte(vaInt32)
                                  .Raw(std::string("\x32\x00\x00\x00", 4))
                                  .Short("LinkBlock")
                                  .Byte(vaNil)
                                  .Byte(vaNull)
                                  .Byte(vaNull)
                                  .Short("Border")
                                  .Byte(vaIdent)
                                  .Short("true")
                                  .Byte(vaNull)
                                  .Byte(vaNull)
                                  .str();
    std::unique_ptr<TPagelette> document = ReadDocument(bytes);
    EXPECT_EQ(document->Name, "Doc");
    ASSERT_EQ(document->Page().Count(), 1);
    TPageItem& item = document->Page().Items(0);
    EXPECT_EQ(item.BlockType, btHeading);
    EXPECT_EQ(item.HeadingBlock().ApplyFont, 1);
    EXPECT_EQ(item.HRBlock().Width, 50);
    EXPECT_TRUE(document->Border);
}

TEST(StreamReaderTest, ItemIndexesOfEveryIntegerFormAndAStringListInAnyCase) {
    const std::string bytes = Bytes()
                                  .Header("TPagelette")
                                  .Short("WebForm")
                                  .Byte(vaCollection)
                                  .Byte(vaInt16)
                                  .Raw(std::string("\x00\x00", 2))
                                  .Byte(vaList)
                                  .Text("Name", "first")
                                  .Short("strings.STRINGS")
                                  .Byte(vaList)
                                  .Byte(vaString)
                                  .Short("Size=30")
                                  .Byte(vaNull)
                                  .Byte(vaNull)
                                  .Byte(vaInt32)
                                  .Raw(std::string("\x01\x00\x00\x00", 4))
                                  .Byte(vaList)
                                  .Text("Name", "second")
                                  .Byte(vaNull)
                                  .Byte(vaNull)
                                  .Byte(vaNull)
                                  .Byte(vaNull)
                                  .str();
    std::unique_ptr<TPagelette> document = ReadDocument(bytes);
    ASSERT_EQ(document->WebForm().Count(), 2);
    EXPECT_EQ(document->WebForm().Items(0).Strings().lines, std::vector<std::string>{"Size=30"});
    EXPECT_EQ(document->WebForm().Items(1).Name, "second");
}

TEST(StreamReaderTest, RejectsBrokenFilesWithTheReadersMessages) {
    const std::string good = Bytes().Header("TPagelette").Byte(0).Byte(0).str();
    EXPECT_EQ(ReadError(good), "(no error)");

    EXPECT_EQ(ReadError("TPF1"), "Invalid stream format");
    EXPECT_EQ(ReadError("TP"), "Invalid stream format");
    EXPECT_EQ(ReadError(""), "Invalid stream format");
    EXPECT_EQ(ReadError(Bytes().Header("TForm1").Byte(0).Byte(0).str()), "Class TForm1 not found");
    EXPECT_EQ(ReadError(Bytes()
                            .Header("TPagelette")
                            .Short("Colour")
                            .Byte(vaString)
                            .Short("x")
                            .Byte(0)
                            .Byte(0)
                            .str()),
              "Error reading TPagelette.Colour: Property does not exist");
    EXPECT_EQ(ReadError(Bytes()
                            .Header("TPagelette")
                            .Short("Email.Name")
                            .Byte(vaString)
                            .Short("x")
                            .Byte(0)
                            .Byte(0)
                            .str()),
              "Error reading TPagelette.Email.Name: Invalid property path");
    EXPECT_EQ(ReadError(Bytes()
                            .Header("TPagelette")
                            .Short("Border")
                            .Byte(vaIdent)
                            .Short("Maybe")
                            .Byte(0)
                            .Byte(0)
                            .str()),
              "Error reading TPagelette.Border: Invalid property value");
    EXPECT_EQ(ReadError(Bytes()
                            .Header("TPagelette")
                            .Short("Border")
                            .Byte(vaInt8)
                            .Byte(1)
                            .Byte(0)
                            .Byte(0)
                            .str()),
              "Error reading TPagelette.Border: Invalid property value");
    EXPECT_EQ(
        ReadError(
            Bytes().Header("TPagelette").Short("Email").Byte(vaInt8).Byte(1).Byte(0).Byte(0).str()),
        "Error reading TPagelette.Email: Invalid property value");
    EXPECT_EQ(
        ReadError(Bytes().Header("TPagelette").Short("Page").Byte(vaNil).Byte(0).Byte(0).str()),
        "Error reading TPagelette.Page: Invalid property value");
    // Inside a collection item the item's class names the failing record.
    EXPECT_EQ(ReadError(Bytes()
                            .Header("TPagelette")
                            .Short("Page")
                            .Byte(vaCollection)
                            .Byte(vaList)
                            .Short("HRBlock.Width")
                            .Byte(vaIdent)
                            .Short("wide")
                            .str()),
              "Error reading TPagelette.Page: Error reading TPageItem.HRBlock.Width: Invalid "
              "property value");
    // A named root is named by its component name.
    EXPECT_EQ(
        ReadError(
            Bytes().Raw("TPF0").Short("TPagelette").Short("Doc").Short("X").Byte(vaNull).str()),
        "Error reading Doc.X: Property does not exist");
    // Child components do not occur in our files.
    EXPECT_EQ(ReadError(Bytes().Header("TPagelette").Byte(0).Short("TPagelette").str()),
              "Invalid stream format");
}

TEST(StreamReaderTest, HostileLengthsAndEarlyEndsFailWithTheReadError) {
    EXPECT_EQ(ReadError(Bytes().Raw("TPF0").Byte(10).Raw("TPage").str()), "Stream read error");
    EXPECT_EQ(ReadError(Bytes().Header("TPagelette").str()), "Stream read error");
    // A long text claiming 2 GB in a 60-byte file fails before anything is allocated.
    EXPECT_EQ(ReadError(Bytes()
                            .Header("TPagelette")
                            .Short("Email")
                            .Byte(vaLString)
                            .Raw(std::string("\xFF\xFF\xFF\x7F", 4))
                            .Raw("short")
                            .str()),
              "Error reading TPagelette.Email: Stream read error");
    EXPECT_EQ(ReadError(Bytes()
                            .Header("TPagelette")
                            .Short("Email")
                            .Byte(vaLString)
                            .Raw(std::string("\xFF\xFF\xFF\xFF", 4))
                            .str()),
              "Error reading TPagelette.Email: Stream read error");
    // Every truncation of a real document fails cleanly.
    const std::string full = WriteComponent(*RichDocument());
    for (size_t length = 0; length < full.size(); ++length) {
        EXPECT_THROW(ReadComponent(full.substr(0, length)), EStreamError) << "length " << length;
    }
}

TEST(StreamFileTest, MissingFileAndWrongRootClass) {
    try {
        ReadDocumentFile("/nonexistent/folder/page.pgx");
        FAIL();
    } catch (const EStreamError& error) {
        EXPECT_STREQ(error.what(), "Cannot open file /nonexistent/folder/page.pgx");
    }
}

}  // namespace
}  // namespace tessel
