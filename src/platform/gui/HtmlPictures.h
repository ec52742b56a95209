#pragma once

// The pictures the viewer draws where Qt's rich text shows nothing of its own: form controls
// in the native style, a frame with the ALT text for a picture that is missing, a picture
// with its border, and a horizontal rule.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QStringList>

#include "platform/HtmlMapping.h"

class QPainter;
class QRectF;
class QStyle;

namespace tessel {

// What a page can ask of the viewer: no picture, rule or control is laid out larger than
// kLargestSide pixels either way, whatever sizes the page writes, and none is held in more
// than kLargestPicturePixels pixels. A larger one is held at a lower resolution (its
// devicePixelRatio below 1) and scaled up when painted.
inline constexpr int kLargestSide = 16384;
inline constexpr qint64 kLargestPicturePixels = 4 * 1024 * 1024;

// A size the page asks for, clamped to 0 .. kLargestSide.
int ClampSide(qint64 pixels);

// The font of form controls: a browser's, 13 pixels of its sans-serif face.
QFont HtmlControlFont();

// A control at the size a browser gives it, drawn with `style`.
QImage DrawHtmlControl(const THtmlControl& control, QStyle* style);

// What stands in for a picture that could not be loaded: its ALT text in a sunken frame of
// the picture's size (or of the text's size when the page gives none).
QImage DrawAltFrame(const THtmlPicture& picture, const QFont& font, const QColor& textColor);

// The picture at its display size (the page's WIDTH and HEIGHT; one of them alone keeps the
// proportions) inside a border of `picture.border` pixels in `borderColor`.
QImage FramePicture(const QImage& image, const THtmlPicture& picture, const QColor& borderColor);

// Paints a rule into `rect`: a sunken groove, or a solid grey bar when it has no shade.
void PaintRule(QPainter& painter, const QRectF& rect, bool noShade);

// The first frame of the picture at `source` as the page names it (a picture of more than
// kLargestPicturePixels is read at a lower resolution, at its own size in device-independent
// pixels): an absolute path, a
// file: address, or a path relative to one of `roots` (tried in order; a leading "/" means
// the root itself). Letter case that differs from the files on disk is forgiven, as a page
// made on a case-blind file system expects. A null image when nothing can be read.
QImage LoadPagePicture(const QString& source, const QStringList& roots);

}  // namespace tessel
