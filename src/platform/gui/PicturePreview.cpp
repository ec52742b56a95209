#include "platform/gui/PicturePreview.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace tessel {

namespace {

constexpr int kPreviewSide = 160;

void ShowPreview(QLabel* picture, QLabel* size, const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid() && (full.width() > kPreviewSide || full.height() > kPreviewSide)) {
        reader.setScaledSize(full.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio));
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        picture->setPixmap(QPixmap());
        picture->setText(QObject::tr("No preview"));
        size->clear();
        return;
    }
    picture->setPixmap(QPixmap::fromImage(image));
    // The size as the picture is shown: a photo taken with the camera turned is taller.
    const QSize upright = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90)
                              ? full.transposed()
                              : full;
    size->setText(QObject::tr("%1 x %2 pixels").arg(upright.width()).arg(upright.height()));
}

}  // namespace

void AddPicturePreview(QFileDialog& dialog) {
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid) {
        return;  // a native dialog: it has no room for our pane
    }
    auto* pane = new QWidget(&dialog);
    pane->setObjectName(QStringLiteral("picturePreview"));
    auto* column = new QVBoxLayout(pane);
    auto* picture = new QLabel(QObject::tr("No preview"), pane);
    picture->setObjectName(QStringLiteral("picturePreviewImage"));
    picture->setFixedSize(kPreviewSide + 4, kPreviewSide + 4);
    picture->setAlignment(Qt::AlignCenter);
    picture->setFrameShape(QFrame::StyledPanel);
    auto* size = new QLabel(pane);
    size->setObjectName(QStringLiteral("picturePreviewSize"));
    size->setAlignment(Qt::AlignCenter);
    column->addWidget(picture);
    column->addWidget(size);
    column->addStretch();
    grid->addWidget(pane, 0, grid->columnCount(), grid->rowCount(), 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, pane,
                     [picture, size](const QString& path) { ShowPreview(picture, size, path); });
}

}  // namespace tessel
