#!/bin/sh
# Renders every picture and cursor at 16, 32 and 48 pixels onto one PNG, to look at the set
# together. Usage: tools/contact-sheet.sh [output.png]   (needs qt6-base-dev and qt6-svg-dev)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-contact-sheet.png}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat > "$work/sheet.cpp" <<'CPP'
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const int columns = 4, cellWidth = 160, cellHeight = 68, count = argc - 2;
    QImage sheet(columns * cellWidth, ((count + columns - 1) / columns) * cellHeight,
                 QImage::Format_ARGB32);
    sheet.fill(QColor("#ECECEC"));
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < count; ++i) {
        const int x = (i % columns) * cellWidth, y = (i / columns) * cellHeight;
        QSvgRenderer svg(QString::fromLocal8Bit(argv[i + 2]));
        int left = x + 4;
        for (const int side : {16, 32, 48}) {
            svg.render(&painter, QRectF(left, y + 4, side, side));
            left += side + 6;
        }
        painter.drawText(x + 4, y + cellHeight - 4, QFileInfo(argv[i + 2]).baseName());
    }
    painter.end();
    return sheet.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
CPP
g++ -std=c++17 -fPIC "$work/sheet.cpp" -o "$work/sheet" $(pkg-config --cflags --libs Qt6Gui Qt6Svg)
QT_QPA_PLATFORM=offscreen "$work/sheet" "$out" "$root"/src/resources/pictures/*.svg \
    "$root"/src/resources/cursors/*.svg
echo "$out"
