#pragma once

// The text the viewer shows of its page, block by block in reading order: the words, the
// numbers and letters of numbered lists, what each form control shows (a box's value, a
// list's chosen option, a button's caption) and the ALT text of a picture that could not be
// loaded. Lines end with LF; a non-breaking space is a space.

#include <QString>

namespace tessel {

class THtmlView;

QString HtmlShownText(const THtmlView& view);

}  // namespace tessel
