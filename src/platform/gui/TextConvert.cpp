#include "platform/gui/TextConvert.h"

namespace tessel {

namespace {

// Length of the valid UTF-8 sequence at bytes[i] and its code point, or 0 when the
// bytes there are not one (overlong forms, surrogates and values past U+10FFFF included).
size_t Utf8SequenceAt(const std::string& bytes, size_t i, char32_t& codePoint) {
    const auto byteAt = [&bytes](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byteAt(i);
    size_t length = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, codePoint = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, codePoint = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, codePoint = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > bytes.size()) {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        const unsigned char next = byteAt(i + k);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < minimum || surrogate || codePoint > 0x10FFFF) {
        return 0;
    }
    return length;
}

}  // namespace

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
