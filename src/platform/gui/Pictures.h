#pragma once

// The program's own pictures and cursors, drawn as SVG and compiled in as resources
// (:/pictures/<name>.svg, :/cursors/<name>.svg). A name without a resource gives a null
// pixmap or icon and the arrow cursor, never a crash.

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace tessel {

// The picture rendered at exactly `size` (device-independent pixels, drawn at the screen's
// pixel ratio so it stays sharp when the windows are scaled), cached per name and size.
QPixmap Picture(const QString& name, const QSize& size);

// The picture at the usual icon sizes (16, 24, 32, 48) and twice those.
QIcon PictureIcon(const QString& name);

// A cursor with its hot spot where the drawing points ("NEWDRAG", "EYEDROPPER").
QCursor ProgramCursor(const QString& name);

}  // namespace tessel
