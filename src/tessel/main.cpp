// The desktop program: splash window, application, main window, message loop.

#include <QElapsedTimer>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <cstdio>

#include "app/Main.h"
#include "dialogs/Splash.h"
#include "document/Exceptions.h"
#include "pagerules/ProgramPaths.h"
#include "platform/ProgramFolder.h"
#include "platform/RegistryStore.h"
#include "platform/UserFolders.h"
#include "platform/gui/FileTypes.h"
#include "platform/gui/HelpViewer.h"
#include "platform/gui/QtUiServices.h"
#include "platform/gui/TessApplication.h"
#include "tessel/QuitWhenIdle.h"
#include "themes/core/WebTheme.h"
#include "ui_Main.h"

using namespace tessel;

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    TTessApplication application(argc, argv);
    // The installed desktop entry and icon, so the desktop shows the windows as this program.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileId));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/tessel.svg")));
    const TQuitWhenIdle quitWhenIdle;

    TSplashScreen splash;
    splash.ShowAtStart();

    const QString title = QString::fromLatin1(kApplicationTitle);
    QApplication::setApplicationName(QStringLiteral("brindle-tessel"));
    TQtUiServices ui(title);
    application.SetUiServices(&ui);
    RegisterThemeStoreClass();

    std::string programFolder;
    try {
        programFolder = ResolveProgramFolder(ProgramFolderSourcesFromProcess());
    } catch (const ETesselError& error) {
        application.ShowError(QString::fromUtf8(error.what()));
        return 1;
    }
    const TUserFolders folders = UserFoldersFromEnvironment();
    TRegistryStore registry(TRegistryStore::DefaultPath(folders));
    THelpViewer help(QString::fromStdString(programFolder + "help/"));
    ui.SetHelpViewer(&help);

    TMainEnvironment environment;
    environment.programFolder = programFolder;
    const QStringList arguments = QApplication::arguments();
    environment.arguments = arguments.mid(1);
    environment.settings = &registry;
    environment.help = &help;
    environment.registerFileTypes = [&folders] {
        RegisterFileTypes(DataHome(folders), QApplication::applicationFilePath());
    };
    environment.hideSplash = [&splash] { splash.hide(); };
    // Beside the pages, in the per-user program folder: a program folder of its own
    // (TESSEL_HOME) keeps its own copies.
    environment.recoveryFolder = programFolder + kRecoveryFolder;
    TfrmMain main(ui, std::move(environment));

    QElapsedTimer splashWait;
    splashWait.start();
    splash.WaitUntilClosable();
    const qint64 waited = splashWait.elapsed();
    splash.close();
    main.show();

    // The start-up figure: from the process start to the main window shown and idle, less
    // the time spent waiting for the splash window's minimum showing time.
    if (qEnvironmentVariableIsSet("TESSEL_REPORT_STARTUP")) {
        QTimer::singleShot(0, &main, [&] {
            std::fprintf(stderr,
                         "tessel: main window idle after %lld ms (splash wait %lld ms excluded)\n",
                         static_cast<long long>(sinceStart.elapsed() - waited),
                         static_cast<long long>(waited));
        });
    }
    // For the test that kills the program in the middle of editing: the page gets unsaved
    // changes through the window's own handlers, a typed title and a heading dropped at the
    // end of the block list, as a user's hands would give it.
    if (const QString title = qEnvironmentVariable("TESSEL_TEST_EDIT_TITLE"); !title.isEmpty()) {
        QTimer::singleShot(0, &main, [&main, title] {
            main.Form().txtPageTitle->setText(title);
            main.Form().lstPalette->setCurrentRow(0);
            main.lstBlocksDragDrop(TDragSource::Palette, main.Form().lstBlocks->count());
        });
    }
    return quitWhenIdle.HasQuit() ? 0 : QApplication::exec();
}
