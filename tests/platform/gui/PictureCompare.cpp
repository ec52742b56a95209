#include "platform/gui/PictureCompare.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <vector>

namespace tessel {
namespace {

constexpr int kChannelTolerance = 48;
constexpr int kTile = 32;
constexpr int kTileLimit = 12;

bool Close(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= kChannelTolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= kChannelTolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= kChannelTolerance;
}

// Whether a pixel of `from` at (x, y) has a near colour at or next to (x, y) in `other`.
bool HasNeighbour(const QImage& from, const QImage& other, int x, int y) {
    const QRgb colour = from.pixel(x, y);
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx;
            const int ny = y + dy;
            if (nx >= 0 && ny >= 0 && nx < other.width() && ny < other.height() &&
                Close(colour, other.pixel(nx, ny)))
                return true;
        }
    }
    return false;
}

}  // namespace

bool TPictureDifference::Matches() const {
    return sameSize && worstTilePixels <= kTileLimit;
}

QString TPictureDifference::Describe() const {
    if (!sameSize)
        return QStringLiteral("the sizes differ");
    return QStringLiteral("%1 pixels differ; the worst tile, at %2,%3, has %4 (at most %5)")
        .arg(differingPixels)
        .arg(worstTile.x())
        .arg(worstTile.y())
        .arg(worstTilePixels)
        .arg(kTileLimit);
}

TPictureDifference ComparePictures(const QImage& actualIn, const QImage& referenceIn) {
    TPictureDifference result;
    result.sameSize = actualIn.size() == referenceIn.size() && !actualIn.isNull();
    if (!result.sameSize)
        return result;
    const QImage actual = actualIn.convertToFormat(QImage::Format_RGB32);
    const QImage reference = referenceIn.convertToFormat(QImage::Format_RGB32);
    const int columns = (actual.width() + kTile - 1) / kTile;
    const int rows = (actual.height() + kTile - 1) / kTile;
    std::vector<int> tiles(static_cast<size_t>(columns * rows), 0);
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            if (actual.pixel(x, y) == reference.pixel(x, y))
                continue;
            if (HasNeighbour(actual, reference, x, y) && HasNeighbour(reference, actual, x, y))
                continue;
            ++result.differingPixels;
            ++tiles[static_cast<size_t>((y / kTile) * columns + x / kTile)];
        }
    }
    const auto worst = std::max_element(tiles.begin(), tiles.end());
    const int index = static_cast<int>(worst - tiles.begin());
    result.worstTilePixels = *worst;
    result.worstTile = QPoint((index % columns) * kTile, (index / columns) * kTile);
    return result;
}

TPictureDifference CompareWithReference(const QImage& actual, const QString& referencePath) {
    if (!qEnvironmentVariableIsEmpty("TESSEL_UPDATE_PICTURES")) {
        QDir().mkpath(QFileInfo(referencePath).path());
        actual.save(referencePath);
        TPictureDifference written;
        written.sameSize = true;
        return written;
    }
    const TPictureDifference difference = ComparePictures(actual, QImage(referencePath));
    if (!difference.Matches())
        actual.save(QDir::temp().filePath(QFileInfo(referencePath).fileName()));
    return difference;
}

}  // namespace tessel
