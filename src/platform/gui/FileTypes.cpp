#include "platform/gui/FileTypes.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include "platform/gui/TextConvert.h"

namespace tessel {

namespace {

std::string ResourceBytes(const QString& name) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll().toStdString();
}

// Started detached: the caches are the desktop's business and may take a while.
void RunIfPresent(const QString& tool, const std::string& folder) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty()) {
        return;
    }
    QProcess process;
    process.setProgram(program);
    process.setArguments({ToQt(folder)});
    // Their notes about search paths are for desktop maintainers, not for our user.
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.startDetached();
}

}  // namespace

TRegistrationChanges RegisterFileTypes(const std::string& dataHome, const QString& programPath) {
    const TRegistrationChanges changes = WriteFileTypeRegistration(
        dataHome, FromQt(programPath), ResourceBytes(QStringLiteral(":/pictures/tessel.svg")),
        ResourceBytes(QStringLiteral(":/pictures/docTemplate.svg")));
    if (changes.mimePackage) {
        RunIfPresent(QStringLiteral("update-mime-database"), dataHome + "mime");
    }
    if (changes.desktopEntry) {
        RunIfPresent(QStringLiteral("update-desktop-database"), dataHome + "applications");
    }
    return changes;
}

}  // namespace tessel
