// The desktop program killed in the middle of editing, and what its next start offers.

#include <signal.h>

#include <QProcess>

#include "MainFixture.h"
#include "document/Stream.h"
#include "platform/RecoveryCopy.h"
#include "platform/UserFolders.h"

namespace tessel {
namespace {

class RecoveryKillTest : public MainWindowTest {
  protected:
    // The record of the only recovery copy that is wholly written, if any.
    std::optional<std::string> WrittenCopy() const {
        if (!Exists(home + "Recovery/"))
            return std::nullopt;
        for (const auto& entry : std::filesystem::directory_iterator(home + "Recovery/")) {
            if (entry.path().extension() == ".info" && ParseRecord(ReadFile(entry.path())))
                return (entry.path().parent_path() / entry.path().stem()).string();
        }
        return std::nullopt;
    }
};

TEST_F(RecoveryKillTest, AKilledProgramsPageIsOfferedAndRestoredByteForByte) {
    const std::string user = home + "user/";
    TRegistryStore(TRegistryStore::DefaultPath({user, "", ""}))
        .WriteString(kSettingsKey, "TipDay", "0");
    const std::string path = home + "TesselFiles/Club.pgx";
    TPagelette original;
    SetDefaultBlocks(original);
    WriteDocumentFile(path, original);
    const std::string saved = ReadFile(path);

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("TESSEL_HOME", QString::fromStdString(home));
    environment.insert("HOME", QString::fromStdString(user));
    environment.remove("XDG_CONFIG_HOME");
    environment.remove("XDG_DATA_HOME");
    environment.insert("TESSEL_TEST_EDIT_TITLE", "Killed mid-edit");
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(TESSEL_PROGRAM), {QString::fromStdString(path)});
    ASSERT_TRUE(program.waitForStarted(30000));

    std::optional<std::string> stem;
    for (int waited = 0; !(stem = WrittenCopy()) && waited < 120000; waited += 100) {
        ASSERT_EQ(program.state(), QProcess::Running) << "the program ended by itself";
        QTest::qWait(100);
    }
    ASSERT_TRUE(stem) << "no recovery copy appeared";

    // A second program started meanwhile does not offer the copy the first one writes.
    recoveryFolder = home + "Recovery/";
    Open();
    EXPECT_TRUE(ui.Messages().empty());
    window.reset();

    ASSERT_EQ(::kill(static_cast<pid_t>(program.processId()), SIGKILL), 0);
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::CrashExit);

    EXPECT_EQ(ReadFile(path), saved) << "the document itself is untouched";
    const std::string kept = ReadFile(*stem + ".pgx");
    const auto root = ReadComponent(kept);
    auto& page = dynamic_cast<TPagelette&>(*root).Page();
    EXPECT_EQ(page.Count(), original.Page().Count() + 1);
    EXPECT_EQ(page.Items(0).PagePropertiesBlock().PageTitle, "Killed mid-edit");
    EXPECT_EQ(page.Items(page.Count() - 1).BlockType, btHeading);
    EXPECT_EQ(ParseRecord(ReadFile(*stem + ".info"))->documentName, path);

    ui.AnswerMessage(mbYes);
    Open();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_TRUE(ui.Messages()[0].text.startsWith("Restore the page"));
    EXPECT_EQ(WriteComponent(window->Document()), kept);
    EXPECT_EQ(window->CurrentName(), path);
    ui.AnswerFileDialog(QString::fromStdString(path));
    ui.AnswerMessage(mbOK);
    QTest::mouseClick(F().btnSave, Qt::LeftButton);
    EXPECT_EQ(ReadFile(path), kept);
    EXPECT_TRUE(std::filesystem::is_empty(home + "Recovery/"));
}

}  // namespace
}  // namespace tessel
