#include "platform/gui/HtmlView.h"

#include <QAbstractTextDocumentLayout>
#include <QColor>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextObjectInterface>
#include <QTextTable>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <exception>

#include "platform/PageCharset.h"
#include "platform/gui/HtmlPictures.h"
#include "platform/gui/TextConvert.h"

namespace tessel {
namespace {

constexpr int kDefaultPointSize = 12;  // a browser's 16 pixels

qreal Resolve(const QTextLength& length, qreal outer) {
    switch (length.type()) {
        case QTextLength::FixedLength:
            return length.rawValue();
        case QTextLength::PercentageLength:
            return outer * length.rawValue() / 100.0;
        case QTextLength::VariableLength:
            break;
    }
    return outer;
}

// The width a block at `position` inside `frame` can use: a percentage rule takes its share
// of it. Qt does not tell a laid-out cell's width while laying it out, so a table's width
// follows from its own and its columns' declared widths.
qreal ContentWidth(const QTextDocument* document, QTextFrame* frame, int position) {
    const QTextFrameFormat format = frame->frameFormat();
    const qreal frameExtras =
        format.leftMargin() + format.rightMargin() + 2 * (format.padding() + format.border());
    QTextFrame* parent = frame->parentFrame();
    if (parent == nullptr) {
        qreal width = document->textWidth();
        if (width <= 0)
            width = document->pageSize().width();
        if (width <= 0)
            width = 640;
        return std::max<qreal>(1, width - frameExtras);
    }
    const qreal outer = ContentWidth(document, parent, frame->firstPosition() - 1);
    auto* table = qobject_cast<QTextTable*>(frame);
    if (table == nullptr)
        return std::max<qreal>(1, Resolve(format.width(), outer) - frameExtras);
    const QTextTableFormat tableFormat = table->format();
    const qreal tableWidth = Resolve(tableFormat.width(), outer) - frameExtras;
    const QTextTableCell cell = table->cellAt(position);
    const QList<QTextLength> columns = tableFormat.columnWidthConstraints();
    qreal width = 0;
    const int first = cell.isValid() ? cell.column() : 0;
    const int span = cell.isValid() ? cell.columnSpan() : 1;
    for (int column = first; column < first + span; ++column) {
        if (column < columns.size() && columns[column].type() != QTextLength::VariableLength) {
            width += Resolve(columns[column], tableWidth);
        } else {
            width += tableWidth / std::max(1, table->columns());
        }
    }
    return std::max<qreal>(1, width - 2 * tableFormat.cellPadding() - tableFormat.cellSpacing());
}

}  // namespace

// Draws every picture of the page. Rules are pictures too, so that a width in percent
// follows the window; drawing them here rather than turning them into objects of their own
// after loading spares a relayout of the whole page per rule.
class THtmlPictureObject : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

  public:
    explicit THtmlPictureObject(const std::vector<THtmlRule>& rules) : rules_(rules) {}

    QSizeF intrinsicSize(QTextDocument* document, int position,
                         const QTextFormat& format) override {
        const QTextImageFormat picture = format.toImageFormat();
        if (const THtmlRule* rule = RuleOf(picture)) {
            qreal width = rule->width;
            // No cursor here: placing one lays the line out, which asks for this size again.
            if (rule->percent) {
                width = ContentWidth(document, document->frameAt(position), position) *
                        rule->width / 100.0;
            }
            return {std::clamp<qreal>(std::floor(width), 1, kLargestSide),
                    static_cast<qreal>(ClampSide(rule->size))};
        }
        const QImage image = ImageOf(document, picture);
        QSizeF size = image.deviceIndependentSize();
        if (picture.width() > 0 && picture.height() > 0) {
            size = {picture.width(), picture.height()};
        } else if (picture.width() > 0 && !image.isNull()) {
            size = {picture.width(), image.height() * picture.width() / image.width()};
        } else if (picture.height() > 0 && !image.isNull()) {
            size = {image.width() * picture.height() / image.height(), picture.height()};
        }
        return size;
    }

    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int,
                    const QTextFormat& format) override {
        const QTextImageFormat picture = format.toImageFormat();
        if (const THtmlRule* rule = RuleOf(picture)) {
            PaintRule(*painter, rect, rule->noShade);
            return;
        }
        const QImage image = ImageOf(document, picture);
        if (!image.isNull())
            painter->drawImage(rect, image);
    }

  private:
    const THtmlRule* RuleOf(const QTextImageFormat& format) const {
        static const QString prefix = QString::fromLatin1(kMappedRulePrefix);
        const QString name = format.name();
        if (!name.startsWith(prefix))
            return nullptr;
        bool number = false;
        const int index = QStringView(name).mid(prefix.size()).toInt(&number);
        return number && index >= 0 && index < static_cast<int>(rules_.size()) ? &rules_[index]
                                                                               : nullptr;
    }

    static QImage ImageOf(QTextDocument* document, const QTextImageFormat& format) {
        const QVariant resource =
            document->resource(QTextDocument::ImageResource, QUrl(format.name()));
        if (resource.userType() == QMetaType::QPixmap)
            return resource.value<QPixmap>().toImage();
        return resource.value<QImage>();
    }

    const std::vector<THtmlRule>& rules_;
};

THtmlView::THtmlView(QWidget* parent)
    : QTextBrowser(parent), pictureObject_(std::make_unique<THtmlPictureObject>(mapped_.rules)) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setUndoRedoEnabled(false);
    setFrameShape(QFrame::StyledPanel);
    // Always there, as in the browsers of the day: a scroll bar that comes and goes would
    // lay a long page out twice.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(this, &QTextBrowser::anchorClicked, this, &THtmlView::AnchorClicked);
    ApplyFonts();
}

THtmlView::~THtmlView() = default;

void THtmlView::Clear() {
    document()->clear();
    mapped_ = TMappedPage();
    missingPictures_.clear();
}

void THtmlView::SetServerRoot(const QString& folder) {
    setSearchPaths({folder});
}

QString THtmlView::ServerRoot() const {
    return searchPaths().value(0);
}

void THtmlView::SetDefaultFont(const QString& family) {
    defaultFont_ = family;
    ApplyFonts();
}

void THtmlView::SetDefaultFixedFont(const QString& family) {
    fixedFont_ = family;
    ApplyFonts();
}

void THtmlView::ApplyFonts() {
    QFont font(defaultFont_);
    font.setPointSize(kDefaultPointSize);
    document()->setDefaultFont(font);
}

void THtmlView::LoadLines(const std::vector<std::string>& lines) {
    std::string text;
    size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 2;
    text.reserve(size);
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    LoadText(text);
}

void THtmlView::LoadText(const std::string& bytes) {
    QTextDocument* page = document();
    page->clear();
    try {
        mapped_ = MapPageHtml(DecodePage(bytes));
    } catch (const std::exception&) {
        mapped_ = TMappedPage();  // nothing of the page can be shown
    }
    const QString fixed =
        QStringLiteral("pre, tt, code, kbd, samp, xmp, listing { font-family: \"%1\"; }\n")
            .arg(fixedFont_);
    page->setDefaultStyleSheet(fixed + ToQt(mapped_.styleSheet));
    ApplyFonts();
    ApplyColours();
    AddPictures();
    AddControls();
    AddBackground();
    page->documentLayout()->registerHandler(QTextFormat::ImageObject, pictureObject_.get());
    page->setHtml(
        QString::fromUtf8(mapped_.html.data(), static_cast<qsizetype>(mapped_.html.size())));
    // A new page shows its top, wherever the old one was scrolled to.
    setTextCursor(QTextCursor(page));
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
}

// A browser's colours where the page gives none, black on white, whatever the desktop's
// colours are. Qt draws list bullets in the palette's text colour, a browser in the page's.
void THtmlView::ApplyColours() {
    QPalette colours = palette();
    const QColor text(ToQt(mapped_.textColor));
    colours.setColor(QPalette::Text, text.isValid() ? text : QColor(Qt::black));
    colours.setColor(QPalette::Base, Qt::white);
    setPalette(colours);
}

void THtmlView::AddPictures() {
    const QColor text =
        mapped_.textColor.empty() ? QColor(Qt::black) : QColor(ToQt(mapped_.textColor));
    const QColor link =
        mapped_.linkColor.empty() ? QColor(Qt::blue) : QColor(ToQt(mapped_.linkColor));
    const QStringList roots = searchPaths();
    QHash<QString, QImage> loaded;  // a page shows one picture many times
    QFont altFont(defaultFont_);
    altFont.setPixelSize(13);
    missingPictures_.assign(mapped_.pictures.size(), false);
    for (size_t i = 0; i < mapped_.pictures.size(); ++i) {
        const THtmlPicture& picture = mapped_.pictures[i];
        const QString source = ToQt(picture.source);
        auto found = loaded.find(source);
        if (found == loaded.end())
            found = loaded.insert(source, LoadPagePicture(source, roots));
        missingPictures_[i] = found->isNull();
        const QImage shown =
            found->isNull()
                ? DrawAltFrame(picture, altFont, text.isValid() ? text : QColor(Qt::black))
                : FramePicture(*found, picture, picture.inLink ? link : text);
        document()->addResource(
            QTextDocument::ImageResource,
            QUrl(QString::fromLatin1(kMappedPicturePrefix) + QString::number(i)), shown);
    }
}

void THtmlView::AddControls() {
    for (size_t i = 0; i < mapped_.controls.size(); ++i) {
        document()->addResource(
            QTextDocument::ImageResource,
            QUrl(QString::fromLatin1(kMappedControlPrefix) + QString::number(i)),
            DrawHtmlControl(mapped_.controls[i], style()));
    }
}

// The BODY's picture, laid over the background colour so that its clear parts show it.
void THtmlView::AddBackground() {
    if (mapped_.background.empty())
        return;
    const QImage picture = LoadPagePicture(ToQt(mapped_.background), searchPaths());
    if (picture.isNull())
        return;
    QImage tile(picture.size(), QImage::Format_ARGB32_Premultiplied);
    const QColor under(ToQt(mapped_.backgroundColor));
    tile.fill(under.isValid() ? under : QColor(Qt::white));
    QPainter painter(&tile);
    painter.drawImage(0, 0, picture);
    painter.end();
    document()->addResource(QTextDocument::ImageResource,
                            QUrl(QString::fromLatin1(kMappedBackground)), tile);
}

void THtmlView::AnchorClicked(const QUrl& url) {
    bool handled = false;
    emit HotSpotClick(url, &handled);
    if (handled)
        return;
    if (url.hasFragment() && (url.isRelative() && url.path().isEmpty()))
        scrollToAnchor(url.fragment());
}

}  // namespace tessel

#include "HtmlView.moc"
