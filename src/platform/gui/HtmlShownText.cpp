#include "platform/gui/HtmlShownText.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include "platform/gui/HtmlView.h"
#include "platform/gui/TextConvert.h"

namespace tessel {
namespace {

// The index after `prefix` in a mapped picture's name, or -1.
int IndexAfter(const QString& name, const char* prefix) {
    const QString start = QString::fromLatin1(prefix);
    if (!name.startsWith(start))
        return -1;
    bool number = false;
    const int index = QStringView(name).mid(start.size()).toInt(&number);
    return number ? index : -1;
}

bool IsNumbered(const QTextList& list) {
    const QTextListFormat::Style style = list.format().style();
    return style != QTextListFormat::ListDisc && style != QTextListFormat::ListCircle &&
           style != QTextListFormat::ListSquare;
}

QString ControlText(const THtmlControl& control) {
    switch (control.kind) {
        case THtmlControl::Radio:
        case THtmlControl::CheckBox:
            return {};
        case THtmlControl::Password:
            return QString(ToQt(control.value).size(), QChar(0x2022));
        default:
            return ToQt(control.value);
    }
}

QString ObjectText(const THtmlView& view, const QString& name) {
    const TMappedPage& page = view.Mapped();
    const int control = IndexAfter(name, kMappedControlPrefix);
    if (control >= 0 && control < static_cast<int>(page.controls.size()))
        return ControlText(page.controls[control]);
    const int picture = IndexAfter(name, kMappedPicturePrefix);
    if (picture >= 0 && picture < static_cast<int>(page.pictures.size()) &&
        view.PictureMissing(picture))
        return ToQt(page.pictures[picture].alt);
    return {};
}

}  // namespace

QString HtmlShownText(const THtmlView& view) {
    QString shown;
    const QTextDocument* page = view.document();
    for (QTextBlock block = page->begin(); block.isValid(); block = block.next()) {
        if (const QTextList* list = block.textList(); list != nullptr && IsNumbered(*list))
            shown += list->itemText(block) + QLatin1Char(' ');
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!format.isImageFormat()) {
                shown += fragment.text();
                continue;
            }
            const QString text = ObjectText(view, format.toImageFormat().name());
            if (!text.isEmpty())
                shown += QLatin1Char(' ') + text + QLatin1Char(' ');
        }
        shown += QLatin1Char('\n');
    }
    shown.replace(QChar::LineSeparator, QLatin1Char('\n'));
    shown.replace(QChar::Nbsp, QLatin1Char(' '));
    shown.remove(QChar(QChar::SoftHyphen));
    return shown;
}

}  // namespace tessel
