// Recovery copies through the real window: when they are written and removed, and what the
// next start offers after the program stopped with unsaved changes.

#include <QDateTime>
#include <QLocale>
#include <QTimer>

#include "MainFixture.h"
#include "document/Stream.h"
#include "platform/RecoveryCopy.h"

namespace tessel {
namespace {

class RecoveryTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        recoveryFolder = home + "Recovery/";
        now = [this] { return clock; };
    }

    // The recovery copies on disk, by their paths.
    std::vector<std::string> Copies() const {
        std::vector<std::string> copies;
        if (!Exists(recoveryFolder))
            return copies;
        for (const auto& entry : std::filesystem::directory_iterator(recoveryFolder)) {
            if (entry.path().extension() == ".pgx")
                copies.push_back(entry.path().string());
        }
        return copies;
    }
    std::string OnlyCopy() const {
        const std::vector<std::string> copies = Copies();
        return copies.size() == 1 ? ReadFile(copies[0]) : "<" + std::to_string(copies.size()) + ">";
    }
    TRecoveryRecord OnlyRecord() const {
        const std::vector<std::string> copies = Copies();
        if (copies.size() != 1)
            return {"<no single copy>", -1};
        const std::string info = copies[0].substr(0, copies[0].size() - 4) + ".info";
        return ParseRecord(ReadFile(info)).value_or(TRecoveryRecord{"<bad record>", -1});
    }
    int BlocksInCopy() const {
        const auto root = ReadComponent(OnlyCopy());
        return dynamic_cast<TPagelette&>(*root).Page().Count();
    }
    // The program ends without closing its window, as when it crashes or is killed.
    void Crash() { window.reset(); }

    void Save(const std::string& path) {
        ui.AnswerFileDialog(QString::fromStdString(path));
        ui.AnswerMessage(mbOK);
        QTest::mouseClick(F().btnSave, Qt::LeftButton);
    }
    std::string DocumentBytes() { return WriteComponent(window->Document()); }

    std::int64_t clock = 1796745600;
};

TEST_F(RecoveryTest, KeptByTheMinuteTimerAfterTypingAndAtOnceAfterEveryBlockChange) {
    Open();
    auto* timer = window->findChild<QTimer*>(QStringLiteral("tmrRecovery"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 60 * 1000);
    window->tmrRecoveryTimer();
    EXPECT_TRUE(Copies().empty()) << "nothing to recover on an unchanged page";

    QTest::keyClicks(F().txtPageTitle, QStringLiteral("Club news"));
    EXPECT_TRUE(window->Modified());
    EXPECT_TRUE(Copies().empty()) << "typing waits for the timer";
    clock += 30;
    window->tmrRecoveryTimer();
    EXPECT_EQ(OnlyCopy(), DocumentBytes());
    EXPECT_EQ(window->Document().Page().Items(0).PagePropertiesBlock().PageTitle, "Club news");
    EXPECT_EQ(OnlyRecord().documentName, "");
    EXPECT_EQ(OnlyRecord().savedAt, clock);

    const std::int64_t typedAt = clock;
    clock += 60;
    window->tmrRecoveryTimer();
    EXPECT_EQ(OnlyRecord().savedAt, typedAt) << "the page did not change since";

    clock += 5;
    DropFromPalette(btHeading, 4);
    EXPECT_EQ(BlocksInCopy(), 5);
    EXPECT_EQ(OnlyRecord().savedAt, clock);

    F().lstBlocks->setCurrentRow(1);
    window->lstBlocksDragDrop(TDragSource::Blocks, 3);  // the image moves down
    EXPECT_EQ(OnlyCopy(), DocumentBytes());
    EXPECT_EQ(window->Document().Page().Items(1).BlockType, btLink);

    F().lstBlocks->setCurrentRow(4);
    ui.AnswerMessage(mbYes);
    Trigger("mnuDelete");
    EXPECT_EQ(BlocksInCopy(), 4);
    EXPECT_EQ(OnlyCopy(), DocumentBytes());
}

TEST_F(RecoveryTest, SaveNewAfterNoAndAQuitWithoutSavingRemoveTheCopy) {
    Open();
    DropFromPalette(btHR, 4);
    ASSERT_EQ(Copies().size(), 1u);
    Save(home + "TesselFiles/Club.pgx");
    EXPECT_TRUE(Copies().empty());
    EXPECT_TRUE(std::filesystem::is_empty(recoveryFolder)) << "no record or lock left";

    DropFromPalette(btHR, 5);
    ASSERT_EQ(Copies().size(), 1u);
    ui.AnswerMessage(mbNo);  // Would you like to save changes?
    QTest::mouseClick(F().btnNew, Qt::LeftButton);
    EXPECT_TRUE(Copies().empty());
    EXPECT_EQ(Page().Count(), 4);

    DropFromPalette(btHR, 4);
    ui.AnswerMessage(mbCancel);
    EXPECT_FALSE(window->close());
    EXPECT_EQ(Copies().size(), 1u) << "the page stays open, and so does its copy";
    ui.AnswerMessage(mbNo);
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(Copies().empty());
}

TEST_F(RecoveryTest, AStoppedPageIsRestoredAsModifiedAndSavedBackToItsOwnFile) {
    const std::string path = home + "TesselFiles/Club.pgx";
    {
        TPagelette original;
        SetDefaultBlocks(original);
        WriteDocumentFile(path, original);
    }
    Open({QString::fromStdString(path)});
    QTest::keyClicks(F().txtPageTitle, QStringLiteral("Club news"));
    DropFromPalette(btHeading, 4);
    const std::string kept = OnlyCopy();
    EXPECT_EQ(OnlyRecord().documentName, path);
    const std::int64_t keptAt = clock;
    Crash();

    clock += 3600;
    ui.AnswerMessage(mbYes);
    Open();
    ASSERT_EQ(ui.Messages().size(), 1u);
    const TShownMessage& question = ui.Messages()[0];
    EXPECT_EQ(question.kind, TMsgKind::Confirmation);
    EXPECT_EQ(question.buttons, mbYes | mbNo);
    EXPECT_TRUE(
        question.text.startsWith("Restore the page you were working on when the program stopped?"));
    EXPECT_NE(question.text.indexOf(QString::fromStdString(path)), -1);
    EXPECT_NE(question.text.indexOf(QLocale::system().toString(
                  QDateTime::fromSecsSinceEpoch(keptAt), QLocale::ShortFormat)),
              -1);

    EXPECT_EQ(DocumentBytes(), kept);
    EXPECT_TRUE(window->Modified());
    EXPECT_EQ(window->CurrentName(), path);
    EXPECT_TRUE(window->windowTitle().startsWith("Club.pgx - "));
    EXPECT_EQ(OnlyCopy(), kept) << "this run keeps it now; the earlier copy is gone";

    Save(path);
    const TFileDialogRequest& request = ui.FileDialogs().back().request;
    EXPECT_EQ(request.fileName, "Club.pgx");
    EXPECT_EQ(request.folder.toStdString() + "/", home + "TesselFiles/");
    EXPECT_EQ(ReadFile(path), kept);
    EXPECT_FALSE(window->Modified());
    EXPECT_TRUE(Copies().empty());

    // Saved once, the page is like any other: the next save proposes no name.
    DropFromPalette(btHR, 5);
    Save(home + "TesselFiles/Other.pgx");
    EXPECT_EQ(ui.FileDialogs().back().request.fileName, "");
}

TEST_F(RecoveryTest, ARestoredUntitledPageAsksForANameWhenSaved) {
    Open();
    DropFromPalette(btText, 4);
    const std::string kept = OnlyCopy();
    Crash();

    ui.AnswerMessage(mbYes);
    Open();
    EXPECT_NE(ui.Messages().back().text.indexOf("Page: Untitled"), -1);
    EXPECT_EQ(window->CurrentName(), "Untitled");
    EXPECT_TRUE(window->Modified());
    EXPECT_EQ(Page().Count(), 5);
    ui.AnswerFileDialog(std::nullopt);
    QTest::mouseClick(F().btnSave, Qt::LeftButton);
    EXPECT_EQ(ui.FileDialogs().back().request.fileName, "");
    EXPECT_EQ(ui.FileDialogs().back().request.folder.toStdString(), home + "TesselFiles/");
    EXPECT_EQ(OnlyCopy(), kept) << "a cancelled save keeps it";
}

TEST_F(RecoveryTest, NoKeepsTheCopyUntilTheNextSave) {
    Open();
    DropFromPalette(btText, 4);
    const std::string kept = OnlyCopy();
    Crash();

    ui.AnswerMessage(mbNo);
    Open();
    EXPECT_FALSE(window->Modified());
    EXPECT_EQ(Page().Count(), 4) << "the default new page";
    EXPECT_EQ(OnlyCopy(), kept);
    DropFromPalette(btHR, 4);
    EXPECT_EQ(Copies().size(), 2u) << "this run's own copy beside the declined one";
    ui.AnswerMessage(mbNo);  // quit without saving
    EXPECT_TRUE(window->close());
    window.reset();
    EXPECT_EQ(OnlyCopy(), kept);

    ui.AnswerMessage(mbNo);  // offered again
    Open();
    EXPECT_EQ(ui.Messages().size(), 3u);
    Save(home + "TesselFiles/Other.pgx");
    EXPECT_TRUE(Copies().empty());
}

TEST_F(RecoveryTest, ACopyAnotherRunningWindowWritesIsNeverOffered) {
    Open();
    DropFromPalette(btText, 4);
    ASSERT_EQ(Copies().size(), 1u);
    std::unique_ptr<TfrmMain> running = std::move(window);

    Open();  // the strict scripted services fail the test on any question
    EXPECT_TRUE(ui.Messages().empty());
    window.reset();

    running.reset();  // now that one stops without cleaning up
    ui.AnswerMessage(mbNo);
    Open();
    EXPECT_EQ(ui.Messages().size(), 1u);
}

TEST_F(RecoveryTest, ACopyThatCannotBeWrittenDisturbsNeitherTheEditNorTheSave) {
    WriteFile(home + "blocker", "a file where the folder should be");
    recoveryFolder = home + "blocker/Recovery/";
    Open();
    DropFromPalette(btHeading, 4);
    DropFromPalette(btHR, 5);
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(Page().Count(), 6);
    EXPECT_TRUE(window->Modified());
    Save(home + "TesselFiles/Club.pgx");
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].kind, TMsgKind::Information);
    EXPECT_FALSE(window->Modified());
}

}  // namespace
}  // namespace tessel
