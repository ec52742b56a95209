#include "platform/gui/Pictures.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmapCache>
#include <QPoint>
#include <QSvgRenderer>

// The resources live in a static library: nothing references them unless we do, so the
// first use of a picture registers them.
static void EnsurePictureResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(tessel);
        return true;
    }();
    (void)registered;
}

namespace tessel {
namespace {

constexpr int kCursorSize = 32;

struct TCursorHotSpot {
    const char* name;
    QPoint hotSpot;  // in the 32 x 32 drawing
};

// Where each drawing points: the arrow's tip of the drag cursor, the dropper's nib.
constexpr TCursorHotSpot kCursorHotSpots[] = {
    {"NEWDRAG", QPoint(1, 1)},
    {"EYEDROPPER", QPoint(2, 29)},
};

// `size` in device-independent pixels; the drawing is made with `ratio` device pixels to each,
// so that it stays sharp on a screen that scales the windows.
QPixmap RenderSvg(const QString& path, const QSize& size, qreal ratio = 1.0) {
    if (size.isEmpty())
        return {};
    EnsurePictureResources();
    const QString key = QStringLiteral("tessel:%1:%2x%3@%4")
                            .arg(path)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(ratio);
    QPixmap cached;
    if (QPixmapCache::find(key, &cached))
        return cached;

    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return {};
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(ratio);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

}  // namespace

QPixmap Picture(const QString& name, const QSize& size) {
    return RenderSvg(QStringLiteral(":/pictures/%1.svg").arg(name), size,
                     qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0);
}

QIcon PictureIcon(const QString& name) {
    QIcon icon;
    // Twice the usual sizes too, for screens that scale the windows to 200 %.
    for (const int side : {16, 24, 32, 48, 64, 96}) {
        const QPixmap pixmap =
            RenderSvg(QStringLiteral(":/pictures/%1.svg").arg(name), QSize(side, side));
        if (pixmap.isNull())
            return {};
        icon.addPixmap(pixmap);
    }
    return icon;
}

QCursor ProgramCursor(const QString& name) {
    const QPixmap pixmap =
        RenderSvg(QStringLiteral(":/cursors/%1.svg").arg(name), QSize(kCursorSize, kCursorSize));
    if (pixmap.isNull())
        return QCursor(Qt::ArrowCursor);
    for (const TCursorHotSpot& cursor : kCursorHotSpots) {
        if (name == QLatin1String(cursor.name)) {
            return QCursor(pixmap, cursor.hotSpot.x(), cursor.hotSpot.y());
        }
    }
    return QCursor(pixmap, 0, 0);
}

}  // namespace tessel
