#pragma once

// Compares a rendered picture with a reference picture kept in the tests. Font hinting may
// move an edge by a pixel or shade it a little; a lost colour, rule or control changes a
// patch of pixels. So a pixel differs only when no pixel next to it in the other picture
// has nearly its colour, and the pictures match while every 32 x 32 tile has at most a few
// differing pixels.

#include <QImage>
#include <QPoint>
#include <QString>

namespace tessel {

struct TPictureDifference {
    bool sameSize = false;
    int differingPixels = 0;
    int worstTilePixels = 0;  // the differing pixels of the worst tile
    QPoint worstTile;         // its top left corner

    bool Matches() const;
    QString Describe() const;
};

TPictureDifference ComparePictures(const QImage& actual, const QImage& reference);

// Compares `actual` with the reference picture at `referencePath`. With the environment
// variable TESSEL_UPDATE_PICTURES set, writes `actual` there instead and reports a match.
// A picture that does not match is kept beside the temporary files for a look.
TPictureDifference CompareWithReference(const QImage& actual, const QString& referencePath);

}  // namespace tessel
