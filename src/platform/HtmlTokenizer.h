#pragma once

// Splits a page into text and tags the way a browser's HTML tokenizer does, so that the viewer
// sees what a browser sees: a "<" that starts no tag ("8 < 10", "<1") and a lone "&" are text,
// character references are decoded, "</>" and cut-off tags at the end of the page vanish,
// "<!x>" and "<?x?>" are comments, and the content of SCRIPT, STYLE, TITLE, TEXTAREA and the
// like runs up to its own end tag whatever it holds.

#include <string>
#include <string_view>
#include <vector>

namespace tessel {

struct THtmlAttribute {
    std::string name;      // lower case
    std::string value;     // character references decoded, line ends made LF
    std::string spelling;  // the name as written
};

struct THtmlToken {
    enum TKind { End, Text, StartTag, EndTag, Comment, Doctype };
    TKind kind = End;
    // Text: the characters, UTF-8; references are decoded except inside SCRIPT, STYLE and
    // the other elements whose content is raw (see `raw`). Line ends are made LF in the
    // content of TITLE and TEXTAREA, as a browser's value has them.
    std::string text;
    bool raw = false;      // Text: the raw content of such an element, exactly as written
    std::string name;      // tags: lower case
    std::string spelling;  // tags: the name as written
    std::vector<THtmlAttribute> attributes;  // in order; a repeated name keeps its first value
    bool selfClosing = false;

    bool Has(std::string_view attribute) const;
    // The attribute's value; empty when it is absent.
    std::string Get(std::string_view attribute) const;
};

class THtmlTokenizer {
  public:
    // `page` is UTF-8 and must outlive the tokenizer.
    explicit THtmlTokenizer(std::string_view page) : page_(page) {}

    // The next token; End once the page is used up.
    THtmlToken Next();

  private:
    enum class TContent { Normal, Escapable, Raw, Plain };

    THtmlToken ReadContent();
    // Reads the markup at the "<" at `at_`. True with the token when it makes one; false when
    // it makes none, with `at_` moved past it when it vanishes or left when the "<" is text.
    bool ReadMarkup(THtmlToken& token);
    void ReadTag(size_t nameStart, THtmlToken& token);
    std::string ReadAttributeValue(size_t from, size_t to) const;
    void EnterContentOf(const THtmlToken& tag);

    std::string_view page_;
    size_t at_ = 0;
    bool tagComplete_ = false;
    THtmlToken pending_;  // markup read while finishing the text before it
    TContent content_ = TContent::Normal;
    std::string contentOf_;  // the element whose end tag ends raw or escapable content
};

}  // namespace tessel
