#include "platform/gui/PictureCopies.h"

#include <QBuffer>
#include <QColorSpace>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <algorithm>
#include <cstring>

#include "pagerules/PictureSizes.h"
#include "platform/gui/TextConvert.h"

namespace tessel {

namespace {

constexpr int kJpegQuality = 85;

// The same pixels, colour table and colour profile in a fresh picture: the text tags a
// decoder keeps (JPEG comments, PNG text chunks) would otherwise be written out again.
QImage PixelsOnly(const QImage& picture) {
    QImage clean(picture.size(), picture.format());
    if (clean.isNull())
        return {};
    clean.setColorTable(picture.colorTable());
    const auto line = static_cast<size_t>(std::min(clean.bytesPerLine(), picture.bytesPerLine()));
    for (int y = 0; y < picture.height(); ++y)
        std::memcpy(clean.scanLine(y), picture.constScanLine(y), line);
    clean.setColorSpace(picture.colorSpace());
    return clean;
}

}  // namespace

QImage ReadUprightPicture(const QString& path, QByteArray* format) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    if (format != nullptr)
        *format = reader.format();
    return reader.read();
}

bool CanWritePictureCopy(const QByteArray& format) {
    return format == "jpeg" || format == "png" || format == "bmp";
}

QByteArray PictureCopyBytes(const QImage& picture, QSize size, const QByteArray& format) {
    if (!CanWritePictureCopy(format) || picture.isNull() || size.isEmpty())
        return {};
    const QImage copy =
        PixelsOnly(picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (format == "jpeg") {
        writer.setQuality(kJpegQuality);
        writer.setOptimizedWrite(true);
    }
    if (copy.isNull() || !writer.write(copy))
        return {};
    return bytes;
}

std::optional<TPictureCopy> LighterPictureCopy(const QString& path, const QImage& picture,
                                               const QByteArray& format, int widest) {
    const std::optional<TPictureSize> size =
        ScaledPictureSize({picture.width(), picture.height()}, widest);
    if (!size || !CanWritePictureCopy(format))
        return std::nullopt;
    const QSize copySize(size->width, size->height);
    QByteArray bytes = PictureCopyBytes(picture, copySize, format);
    const QFileInfo file(path);
    if (bytes.isEmpty() || bytes.size() >= file.size())
        return std::nullopt;
    return TPictureCopy{ToQt(ScaledPictureName(FromQt(file.fileName()), size->width)), copySize,
                        std::move(bytes)};
}

}  // namespace tessel
