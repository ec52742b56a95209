#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>

#include "publish/gui/ElidedPath.h"

namespace tessel {
namespace {

TEST(ElidedPathTest, TheFolderGivesWayBeforeTheFileName) {
    const QFontMetrics metrics(QApplication::font());
    const QString name = QStringLiteral("holiday-photo.jpg");
    const QString path =
        QStringLiteral("/home/someone/.local/share/brindle-tessel/Upload/images/") + name;
    EXPECT_EQ(ElidedPath(path, metrics, metrics.horizontalAdvance(path)), path);

    const int narrow = metrics.horizontalAdvance(name + QStringLiteral("/home/some…"));
    const QString shown = ElidedPath(path, metrics, narrow);
    EXPECT_TRUE(shown.endsWith(QStringLiteral("/") + name)) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("/h"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QChar(0x2026)) || shown.contains(QStringLiteral("...")))
        << shown.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(shown), narrow);

    // A name that does not fit by itself keeps its start and its extension.
    const int tiny = metrics.horizontalAdvance(QStringLiteral("holi….jpg"));
    const QString squeezed = ElidedPath(path, metrics, tiny);
    EXPECT_FALSE(squeezed.contains(QLatin1Char('/'))) << squeezed.toStdString();
    EXPECT_TRUE(squeezed.endsWith(QStringLiteral("jpg"))) << squeezed.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(squeezed), tiny);
}

}  // namespace
}  // namespace tessel
