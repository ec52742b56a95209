#include "platform/gui/CameraPhoto.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QRandomGenerator>
#include <filesystem>

namespace tessel {

namespace {

void Put16(QByteArray& out, int value) {
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}
void Put32(QByteArray& out, quint32 value) {
    Put16(out, static_cast<int>(value & 0xFFFF));
    Put16(out, static_cast<int>(value >> 16));
}
// One little-endian IFD entry: tag, type, count, and the value or its offset.
void Entry(QByteArray& out, int tag, int type, quint32 count, quint32 value) {
    Put16(out, tag);
    Put16(out, type);
    Put32(out, count);
    Put32(out, value);
}

constexpr int kShort = 3;
constexpr int kLong = 4;
constexpr int kAscii = 2;
constexpr int kRational = 5;

// "Exif\0\0" and a TIFF block: IFD0 with the orientation and the GPS IFD's place, then the
// GPS IFD (N 51 deg 28' 38.88", E 0 deg 0' 5.31") and its rationals.
QByteArray ExifBlock() {
    QByteArray tiff("II*\0", 4);
    Put32(tiff, 8);
    constexpr quint32 kGpsIfd = 8 + 2 + 2 * 12 + 4;
    constexpr quint32 kLatitude = kGpsIfd + 2 + 4 * 12 + 4;
    constexpr quint32 kLongitude = kLatitude + 24;
    Put16(tiff, 2);
    Entry(tiff, 0x0112, kShort, 1, 6);
    Entry(tiff, 0x8825, kLong, 1, kGpsIfd);
    Put32(tiff, 0);
    Put16(tiff, 4);
    Entry(tiff, 0x0001, kAscii, 2, 'N');
    Entry(tiff, 0x0002, kRational, 3, kLatitude);
    Entry(tiff, 0x0003, kAscii, 2, 'E');
    Entry(tiff, 0x0004, kRational, 3, kLongitude);
    Put32(tiff, 0);
    for (const quint32 part : {51u, 1u, 28u, 1u, 3888u, 100u, 0u, 1u, 0u, 1u, 531u, 100u})
        Put32(tiff, part);
    return QByteArray("Exif\0\0", 6) + tiff;
}

}  // namespace

std::string WriteCameraPhoto(const std::string& path, QSize stored) {
    QImage image(stored, QImage::Format_RGB32);
    QRandomGenerator noise(17);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const bool top = y < image.height() / 2;
        for (int x = 0; x < image.width(); ++x) {
            const int jitter = noise.bounded(60);
            line[x] = top ? qRgb(195 + jitter, jitter, jitter) : qRgb(jitter, jitter, 195 + jitter);
        }
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(95);
    writer.write(image);

    const QByteArray exif = ExifBlock();
    QByteArray segment("\xFF\xE1", 2);
    segment.append(static_cast<char>(((exif.size() + 2) >> 8) & 0xFF));
    segment.append(static_cast<char>((exif.size() + 2) & 0xFF));
    segment.append(exif);
    const QByteArray comment(kCameraPhotoComment);
    segment.append("\xFF\xFE", 2);
    segment.append(static_cast<char>(((comment.size() + 2) >> 8) & 0xFF));
    segment.append(static_cast<char>((comment.size() + 2) & 0xFF));
    segment.append(comment);
    jpeg.insert(2, segment);  // right after the start-of-image marker, as cameras put them

    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    QFile file(QString::fromStdString(path));
    if (file.open(QIODevice::WriteOnly))
        file.write(jpeg);
    return path;
}

int ExifSegments(const QByteArray& jpeg) {
    int found = 0;
    qsizetype at = 2;  // after the start-of-image marker
    while (at + 4 <= jpeg.size() && static_cast<unsigned char>(jpeg[at]) == 0xFF) {
        const auto marker = static_cast<unsigned char>(jpeg[at + 1]);
        if (marker == 0xDA)
            break;  // the picture data follows: no more segments with metadata
        const int length = (static_cast<unsigned char>(jpeg[at + 2]) << 8) |
                           static_cast<unsigned char>(jpeg[at + 3]);
        if (marker == 0xE1)
            ++found;
        at += 2 + length;
    }
    return found;
}

}  // namespace tessel
