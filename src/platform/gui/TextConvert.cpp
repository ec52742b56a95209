#include "platform/gui/TextConvert.h"

#include "html/Routines.h"

namespace tessel {

QString ToQt(const std::string& bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            text.append(QChar(byte));
            ++i;
            continue;
        }
        char32_t codePoint = 0;
        if (const size_t length = Utf8SequenceAt(bytes, i, codePoint)) {
            text.append(QString::fromUcs4(&codePoint, 1));
            i += length;
        } else {
            text.append(QChar(byte));  // Latin-1
            ++i;
        }
    }
    return text;
}

std::string FromQt(const QString& text) {
    return text.toStdString();
}

QString ToQtLines(const std::string& bytes) {
    QString text = ToQt(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::string FromQtLines(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return FromQt(lines);
}

}  // namespace tessel
