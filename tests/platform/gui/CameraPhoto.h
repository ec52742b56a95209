#pragma once

// A photo as a camera writes it, made by the tests: a JPEG with an EXIF block that says the
// camera was turned (orientation 6: shown turned a quarter clockwise) and where it was taken
// (GPS latitude and longitude), and a comment that names the place. Its stored top half is red and
// its bottom half blue, so shown upright the left half is blue and the right half red. Noise keeps
// it from compressing to nothing, as a real photo does not.

#include <QByteArray>
#include <QSize>
#include <string>

namespace tessel {

// Writes the photo, `stored` pixels as the camera stores them, to `path`; returns `path`.
std::string WriteCameraPhoto(const std::string& path, QSize stored);

// The comment the photo carries.
inline constexpr char kCameraPhotoComment[] = "Our garden, Lime Grove 12";

// The APP1 (EXIF) segments of a JPEG file's bytes, counted by walking its markers.
int ExifSegments(const QByteArray& jpeg);

}  // namespace tessel
