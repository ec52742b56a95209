#include "platform/gui/FileTypes.h"

#include <gtest/gtest.h>

#include <QFile>

#include "platform/AtomicFile.h"
#include "support/TempFolder.h"

namespace tessel {
namespace {

TEST(FileTypes, RegistersWithTheProgramsOwnIconsOnceUntilSomethingChanges) {
    testing::TTempFolder folder;
    const std::string data = folder.Path();
    // No cache tools on the path: the test starts no processes of the desktop.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(folder.Path()));
    const TRegistrationChanges first = RegisterFileTypes(data, QStringLiteral("/opt/t/tessel"));
    EXPECT_TRUE(first.mimePackage);
    EXPECT_TRUE(first.desktopEntry);
    QFile icon(QStringLiteral(":/pictures/tessel.svg"));
    if (icon.open(QIODevice::ReadOnly)) {
        EXPECT_EQ(ReadWholeFile(FileTypeFilesIn(data).programIcon), icon.readAll().toStdString());
    }
    const TRegistrationChanges again = RegisterFileTypes(data, QStringLiteral("/opt/t/tessel"));
    EXPECT_FALSE(again.mimePackage || again.desktopEntry || again.icons);
    qputenv("PATH", path);
}

}  // namespace
}  // namespace tessel
