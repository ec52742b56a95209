#include "platform/gui/HtmlPictures.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QUrl>
#include <QtMath>
#include <algorithm>
#include <cmath>

#include "platform/gui/TextConvert.h"

namespace tessel {
namespace {

constexpr int kDefaultTextBoxChars = 20;
constexpr int kDefaultAreaCols = 20;
constexpr int kDefaultAreaRows = 2;
const QColor kShadow(128, 128, 128);
const QColor kHighlight(255, 255, 255);

// How much finer than `size` a picture of it may be held: 1, or less for a huge one.
qreal HeldScale(QSize size) {
    const qreal pixels = static_cast<qreal>(size.width()) * size.height();
    return pixels > kLargestPicturePixels ? std::sqrt(kLargestPicturePixels / pixels) : 1.0;
}

// A clear picture to paint `size` device-independent pixels on, however large they are.
QImage Canvas(QSize size) {
    size = size.expandedTo(QSize(1, 1)).boundedTo(QSize(kLargestSide, kLargestSide));
    const qreal scale = HeldScale(size);
    QImage image(std::max(1, qFloor(size.width() * scale)),
                 std::max(1, qFloor(size.height() * scale)), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    return image;
}

QPalette ControlPalette() {
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    return palette;
}

void DrawTextPanel(QPainter& painter, QStyle* style, const QRect& rect, const QString& text,
                   bool wrap) {
    QStyleOptionFrame frame;
    frame.rect = rect;
    frame.palette = ControlPalette();
    frame.state = QStyle::State_Enabled | QStyle::State_Sunken;
    frame.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame);
    style->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &painter);
    if (text.isEmpty())
        return;
    painter.setPen(frame.palette.color(QPalette::Text));
    const QRect inner = rect.adjusted(4, 3, -4, -3);
    painter.save();
    painter.setClipRect(inner);
    painter.drawText(inner, (wrap ? Qt::TextWordWrap : 0) | Qt::AlignLeft | Qt::AlignTop, text);
    painter.restore();
}

// The size a picture is shown at: the page's, the picture's own, or one of the page's two
// with the picture's proportions.
QSize DisplaySize(const QImage& image, const THtmlPicture& picture) {
    const QSize own = image.deviceIndependentSize().toSize();
    const qint64 width = picture.width;
    const qint64 height = picture.height;
    if (width >= 0 && height >= 0)
        return {ClampSide(width), ClampSide(height)};
    if (width >= 0 && own.width() > 0)
        return {ClampSide(width), ClampSide(own.height() * width / own.width())};
    if (height >= 0 && own.height() > 0)
        return {ClampSide(own.width() * height / own.height()), ClampSide(height)};
    return own;
}

// The existing entry of `folder` named like `name` without regard to case.
QString MatchEntry(const QDir& folder, const QString& name) {
    if (folder.exists(name))
        return name;
    for (const QString& entry : folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}

// `path` with each missing part replaced by one that differs only in letter case.
QString ExistingPath(const QString& path) {
    if (QFileInfo::exists(path))
        return path;
    const QString clean = QDir::cleanPath(path);
    const QStringList parts = clean.split(QLatin1Char('/'));
    QString built = clean.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
    for (const QString& part : parts) {
        if (part.isEmpty())
            continue;
        const QString match = MatchEntry(QDir(built.isEmpty() ? QStringLiteral(".") : built), part);
        if (match.isEmpty())
            return {};
        built += (built.isEmpty() || built.endsWith(QLatin1Char('/')) ? QString()
                                                                      : QStringLiteral("/")) +
                 match;
    }
    return built;
}

QImage ReadFirstFrame(const QString& path) {
    if (path.isEmpty())
        return {};
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize own = reader.size();
    const qreal scale = own.isValid() ? HeldScale(own) : 1.0;
    if (scale < 1.0)
        reader.setScaledSize(own * scale);
    QImage image = reader.read();
    if (scale < 1.0 && !image.isNull())
        image.setDevicePixelRatio(static_cast<qreal>(image.width()) / own.width());
    return image;
}

}  // namespace

int ClampSide(qint64 pixels) {
    return static_cast<int>(std::clamp<qint64>(pixels, 0, kLargestSide));
}

QFont HtmlControlFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    return font;
}

QImage DrawHtmlControl(const THtmlControl& control, QStyle* style) {
    const QFont font = HtmlControlFont();
    const QFontMetrics metrics(font);
    const qint64 charWidth = metrics.averageCharWidth();
    const qint64 lineHeight = metrics.height();
    const QString value = ToQt(control.value);
    const qint64 chars = control.size > 0 ? control.size : kDefaultTextBoxChars;
    const qint64 cols = control.cols > 0 ? control.cols : kDefaultAreaCols;
    const qint64 rows = control.rows > 0 ? control.rows : kDefaultAreaRows;
    const int boxHeight = ClampSide(lineHeight + 8);
    QSize size;
    switch (control.kind) {
        case THtmlControl::Text:
        case THtmlControl::Password:
            size = {ClampSide(chars * charWidth + 8), boxHeight};
            break;
        case THtmlControl::Radio:
        case THtmlControl::CheckBox:
            size = {style->pixelMetric(QStyle::PM_IndicatorWidth),
                    style->pixelMetric(QStyle::PM_IndicatorHeight)};
            break;
        case THtmlControl::Submit:
        case THtmlControl::Reset:
        case THtmlControl::Button:
            size = {ClampSide(qint64{metrics.horizontalAdvance(value)} + 16), boxHeight};
            break;
        case THtmlControl::TextArea:
            size = {
                ClampSide(cols * charWidth + 8 + style->pixelMetric(QStyle::PM_ScrollBarExtent)),
                ClampSide(rows * lineHeight + 8)};
            break;
        case THtmlControl::Select: {
            qint64 widest = 0;
            for (const std::string& option : control.options)
                widest = std::max<qint64>(widest, metrics.horizontalAdvance(ToQt(option)));
            size = {ClampSide(widest + 12 + style->pixelMetric(QStyle::PM_ScrollBarExtent)),
                    boxHeight};
            break;
        }
    }
    QImage image = Canvas(size);
    QPainter painter(&image);
    painter.setFont(font);
    const QRect rect(QPoint(0, 0), image.deviceIndependentSize().toSize());
    switch (control.kind) {
        case THtmlControl::Text:
            DrawTextPanel(painter, style, rect, value, false);
            break;
        case THtmlControl::Password:
            DrawTextPanel(painter, style, rect, QString(value.size(), QChar(0x2022)), false);
            break;
        case THtmlControl::TextArea:
            DrawTextPanel(painter, style, rect, value, true);
            break;
        case THtmlControl::Radio:
        case THtmlControl::CheckBox: {
            QStyleOptionButton option;
            option.rect = rect;
            option.palette = ControlPalette();
            option.state =
                QStyle::State_Enabled | (control.checked ? QStyle::State_On : QStyle::State_Off);
            style->drawPrimitive(control.kind == THtmlControl::Radio
                                     ? QStyle::PE_IndicatorRadioButton
                                     : QStyle::PE_IndicatorCheckBox,
                                 &option, &painter);
            break;
        }
        case THtmlControl::Submit:
        case THtmlControl::Reset:
        case THtmlControl::Button: {
            QStyleOptionButton option;
            option.rect = rect;
            option.palette = QApplication::palette();
            option.state = QStyle::State_Enabled | QStyle::State_Raised;
            option.text = value;
            style->drawControl(QStyle::CE_PushButton, &option, &painter);
            break;
        }
        case THtmlControl::Select: {
            QStyleOptionComboBox option;
            option.rect = rect;
            option.palette = QApplication::palette();
            option.state = QStyle::State_Enabled;
            option.currentText = value;
            option.editable = false;
            style->drawComplexControl(QStyle::CC_ComboBox, &option, &painter);
            style->drawControl(QStyle::CE_ComboBoxLabel, &option, &painter);
            break;
        }
    }
    return image;
}

QImage DrawAltFrame(const THtmlPicture& picture, const QFont& font, const QColor& textColor) {
    const QFontMetrics metrics(font);
    const QString alt = ToQt(picture.alt);
    const int textWidth = metrics.horizontalAdvance(alt) + 8;
    const int textHeight = metrics.height() + 6;
    QImage image =
        Canvas({picture.width >= 0 ? ClampSide(picture.width) : std::max(textWidth, 16),
                picture.height >= 0 ? ClampSide(picture.height) : std::max(textHeight, 16)});
    const QSize size = image.deviceIndependentSize().toSize();
    QPainter painter(&image);
    const QRect outline(QPoint(0, 0), size - QSize(1, 1));
    painter.setPen(kShadow);
    painter.drawLine(outline.topLeft(), outline.topRight());
    painter.drawLine(outline.topLeft(), outline.bottomLeft());
    painter.setPen(QColor(224, 224, 224));
    painter.drawLine(outline.bottomLeft(), outline.bottomRight());
    painter.drawLine(outline.topRight(), outline.bottomRight());
    painter.setFont(font);
    painter.setPen(textColor);
    const QRect inner = QRect(QPoint(0, 0), size).adjusted(4, 3, -2, -2);
    painter.setClipRect(inner);
    painter.drawText(inner, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, alt);
    return image;
}

QImage FramePicture(const QImage& image, const THtmlPicture& picture, const QColor& borderColor) {
    const QSize shown = DisplaySize(image, picture);
    const int border = ClampSide(picture.border);
    QImage framed = Canvas({ClampSide(qint64{shown.width()} + 2 * border),
                            ClampSide(qint64{shown.height()} + 2 * border)});
    QPainter painter(&framed);
    if (border > 0)
        painter.fillRect(QRect(QPoint(0, 0), framed.deviceIndependentSize().toSize()), borderColor);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect target(QPoint(border, border), shown);
    if (border > 0)
        painter.fillRect(target, Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(target, image);
    return framed;
}

void PaintRule(QPainter& painter, const QRectF& rect, bool noShade) {
    // Rounded, not aligned: a rule keeps its height wherever the line puts it.
    const QRect r(qRound(rect.x()), qRound(rect.y()), qRound(rect.width()), qRound(rect.height()));
    if (noShade) {
        painter.fillRect(r, kShadow);
        return;
    }
    painter.save();
    painter.setPen(kShadow);
    painter.drawLine(r.left(), r.top(), r.right(), r.top());
    painter.drawLine(r.left(), r.top(), r.left(), r.bottom());
    painter.setPen(kHighlight);
    painter.drawLine(r.left() + 1, r.bottom(), r.right(), r.bottom());
    painter.drawLine(r.right(), r.top() + 1, r.right(), r.bottom());
    painter.restore();
}

QImage LoadPagePicture(const QString& source, const QStringList& roots) {
    if (source.isEmpty())
        return {};
    QString path = source;
    if (source.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        path = QUrl(source).toLocalFile();
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QDir::isAbsolutePath(path)) {
        const QImage image = ReadFirstFrame(ExistingPath(path));
        if (!image.isNull() || roots.isEmpty())
            return image;
    }
    QString relative = path;
    while (relative.startsWith(QLatin1Char('/'))) relative.remove(0, 1);
    for (const QString& root : roots) {
        const QImage image = ReadFirstFrame(ExistingPath(root + QLatin1Char('/') + relative));
        if (!image.isNull())
            return image;
    }
    return {};
}

}  // namespace tessel
