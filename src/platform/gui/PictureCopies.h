#pragma once

// Photos as a page shows them: read upright, and the lighter copy of a picture that is wider
// than the page can show. Camera photos hold an orientation tag (the camera was turned) and
// often the place where they were taken; the copy is turned upright and keeps neither.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

namespace tessel {

// The picture in a file turned the way its orientation tag says, as browsers show it; a
// null picture when the file cannot be decoded. `format`, when given, receives the format
// of the file's content ("jpeg", "png", "bmp", "gif"), whatever its name says.
QImage ReadUprightPicture(const QString& path, QByteArray* format = nullptr);

// True when copies can be written in `format`: JPEG, PNG and BMP. GIF cannot be written
// here, and an animated one would lose its motion.
bool CanWritePictureCopy(const QByteArray& format);

// `picture` scaled smoothly to `size` and written in `format` (JPEG at quality 85, which keeps
// photos clean), holding the pixels and their colour profile only: no orientation, camera,
// place or comment tags. Empty when the format cannot be written.
QByteArray PictureCopyBytes(const QImage& picture, QSize size, const QByteArray& format);

struct TPictureCopy {
    QString name;  // file name, after the picture's own
    QSize size;
    QByteArray bytes;
};

// The lighter copy of the picture file `path` (decoded as `picture`, upright, in `format`) for a
// page that shows pictures at most `widest` pixels across. Nothing when the picture is not
// wider, its format cannot be written, or the copy would not be smaller than the file.
std::optional<TPictureCopy> LighterPictureCopy(const QString& path, const QImage& picture,
                                               const QByteArray& format, int widest);

}  // namespace tessel
